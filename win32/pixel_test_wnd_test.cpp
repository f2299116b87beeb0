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

TEST_F(PixelTestWindow, CoversItsOwnersMonitorAboveItsOwner) {
    RECT r{};
    GetWindowRect(hTest, &r);
    const RECT monitor = CPixelTestWnd::MonitorRect(hOwner);
    EXPECT_EQ(r.left, monitor.left);
    EXPECT_EQ(r.top, monitor.top);
    EXPECT_EQ(r.right, monitor.right);
    EXPECT_EQ(r.bottom, monitor.bottom);
    // Wine's one monitor is the screen.
    EXPECT_EQ(monitor.right - monitor.left, cx);
    EXPECT_EQ(monitor.bottom - monitor.top, cy);
    RECT client{};
    GetClientRect(hTest, &client);
    EXPECT_EQ(client.right, cx) << "no border takes a pixel";
    EXPECT_EQ(client.bottom, cy);
    EXPECT_EQ(GetWindow(hTest, GW_OWNER), hOwner);
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    MoveMouseTo({cx / 2, cy / 2});
    Pump(milliseconds(50));
    ASSERT_TRUE(GetCursorInfo(&cursor));
    EXPECT_EQ(cursor.hCursor, nullptr) << "no pointer over the test";
    const LONG style = GetWindowLongW(hTest, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & WS_BORDER);
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
}

TEST_F(PixelTestWindow, EveryColourReachesEveryEdgePixel) {
    for (int i = 0; i < pixeltest::kColorCount; ++i) {
        // The two outermost rows and columns on every side, the four corners included.
        int off = 0;
        for (const RECT strip : {RECT{0, 0, cx, 2}, RECT{0, cy - 2, cx, cy}, RECT{0, 0, 2, cy},
                                 RECT{cx - 2, 0, cx, cy}}) {
            const Pixels pixels = CaptureScreen(strip);
            for (int y = 0; y < strip.bottom - strip.top; ++y) {
                for (int x = 0; x < strip.right - strip.left; ++x) {
                    off += pixels.At(x, y) != Expected(i);
                }
            }
        }
        EXPECT_EQ(off, 0) << "colour " << i;
        LeftClick();
    }
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
