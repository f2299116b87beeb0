// The dead-pixel test window: over the whole primary screen, the ten colours in turn on left
// clicks, ended by Esc or Enter, and gone with its owner.
#include "win32/pixel_test_wnd.h"

#include <gtest/gtest.h>

#include "win32/window_test_support.h"

namespace wintest {
namespace {

using std::chrono::milliseconds;

COLORREF Expected(int index) {
    const pixeltest::TestColor& c = pixeltest::kColors[static_cast<std::size_t>(index)];
    return RGB(c.red, c.green, c.blue);
}

// An owner for the test window, as the main dialog is, and one test window over it.
class PixelTestWindow : public ::testing::Test {
protected:
    void SetUp() override {
        hOwner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 60,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hOwner, nullptr);
        pTest = new CPixelTestWnd;
        hTest = pTest->Create(hOwner);
        ASSERT_NE(hTest, nullptr);
        ShowWindow(hTest, SW_SHOW);
        Activate(hTest);
        Pump(milliseconds(100));
        cx = GetSystemMetrics(SM_CXSCREEN);
        cy = GetSystemMetrics(SM_CYSCREEN);
    }
    void TearDown() override {
        if (IsWindow(hOwner)) DestroyWindow(hOwner);
        Pump(milliseconds(20));
        EXPECT_EQ(CPixelTestWnd::LiveCount(), 0) << "the window object freed itself";
    }

    // What the screen shows well inside the window, and at its top-left corner.
    COLORREF Middle() const {
        return CaptureScreen({cx / 2, cy / 2, cx / 2 + 1, cy / 2 + 1}).At(0, 0);
    }
    void LeftClick() {
        Click({cx / 3, cy / 3});
        Pump(milliseconds(60));
    }

    HWND hOwner = nullptr;
    CPixelTestWnd* pTest = nullptr;
    HWND hTest = nullptr;
    int cx = 0;
    int cy = 0;
};

TEST_F(PixelTestWindow, CoversThePrimaryScreenAboveItsOwner) {
    RECT r{};
    GetWindowRect(hTest, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, cx);
    EXPECT_EQ(r.bottom, cy);
    EXPECT_EQ(GetWindow(hTest, GW_OWNER), hOwner);
    const LONG style = GetWindowLongW(hTest, GWL_STYLE);
    EXPECT_TRUE((style & WS_POPUP) && (style & WS_BORDER));
    EXPECT_FALSE(style & (WS_CAPTION & ~WS_BORDER));
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_EQ(GetWindow(hTest, GW_CHILD), nullptr) << "no controls";
    EXPECT_EQ(WindowFromPoint({cx / 2, cy / 2}), hTest);
}

TEST_F(PixelTestWindow, LeftClicksStepThroughTheTenColoursAndWrap) {
    EXPECT_EQ(pTest->ColorIndex(), 0);
    EXPECT_EQ(Middle(), RGB(0, 0, 0)) << "starts at black";
    for (int i = 1; i <= 11; ++i) {
        LeftClick();
        EXPECT_EQ(pTest->ColorIndex(), i % 10) << i;
        EXPECT_EQ(Middle(), Expected(i % 10)) << "after " << i << " clicks";
    }
    // Red after eleven clicks. Around it the thin border (the system's frame colour), and
    // along the client area's top and left edges the black outline of the rectangle, whose
    // far edges lie off the client area.
    const Pixels corner = CaptureScreen({0, 0, 3, 3});
    const Pixels edge = CaptureScreen({cx - 2, cy - 2, cx, cy});
    EXPECT_NE(corner.At(0, 0), RGB(255, 0, 0)) << "the border";
    EXPECT_EQ(corner.At(0, 0), edge.At(1, 1)) << "the border, all round";
    EXPECT_EQ(corner.At(1, 1), RGB(0, 0, 0)) << "the outline";
    EXPECT_EQ(corner.At(2, 1), RGB(0, 0, 0)) << "the outline";
    EXPECT_EQ(corner.At(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(edge.At(0, 0), RGB(255, 0, 0)) << "no outline on the far edges";
}

TEST_F(PixelTestWindow, NothingElseChangesTheColour) {
    LeftClick();
    LeftClick();  // green
    Click({cx / 2, cy / 2}, true);
    MoveMouseTo({cx / 4, cy / 4});
    for (WORD vk : {WORD('A'), WORD('7'), WORD(VK_DOWN), WORD(VK_RIGHT), WORD(VK_SPACE)}) {
        PressKey(vk);
    }
    Pump(milliseconds(100));
    EXPECT_EQ(pTest->ColorIndex(), 2);
    EXPECT_EQ(Middle(), RGB(0, 255, 0));
    EXPECT_TRUE(IsWindow(hTest));
}

TEST_F(PixelTestWindow, RepaintsTheCurrentColour) {
    for (int i = 0; i < 4; ++i) LeftClick();  // olive
    // Covered and uncovered: drawn again, in the colour it had.
    HWND hCover = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, cx / 2 - 50,
                                  cy / 2 - 50, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Pump(milliseconds(50));
    DestroyWindow(hCover);
    Pump(milliseconds(100));
    EXPECT_EQ(Middle(), Expected(4));
}

TEST_F(PixelTestWindow, EscEndsTheTest) {
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hTest); }));
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 0);
    EXPECT_TRUE(IsWindow(hOwner));
}

TEST_F(PixelTestWindow, EnterEndsTheTest) {
    LeftClick();
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hTest); }));
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 0);
}

TEST_F(PixelTestWindow, GoesWithItsOwner) {
    DestroyWindow(hOwner);
    EXPECT_FALSE(IsWindow(hTest));
    EXPECT_EQ(CPixelTestWnd::LiveCount(), 0);
}

TEST_F(PixelTestWindow, ANewTestStartsAtBlack) {
    LeftClick();
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hTest); }));
    pTest = new CPixelTestWnd;
    hTest = pTest->Create(hOwner);
    ASSERT_NE(hTest, nullptr);
    ShowWindow(hTest, SW_SHOW);
    Pump(milliseconds(100));
    EXPECT_EQ(pTest->ColorIndex(), 0);
    EXPECT_EQ(Middle(), RGB(0, 0, 0));
}

}  // namespace
}  // namespace wintest
