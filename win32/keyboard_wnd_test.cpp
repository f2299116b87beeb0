// The keyboard test window: key input given by scan code (SendInput with KEYEVENTF_SCANCODE,
// through the system's input queue) lights the keys and the count; no key ends it, the close
// button does.
#include "win32/keyboard_wnd.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "keyboard/testing/key_names.h"
#include "pages/page_dispatch.h"
#include "text/gbk.h"
#include "win32/dialog_test_fixture.h"
#include "win32/window_test_support.h"

namespace wintest {
namespace {

using keyboard::testing::KeyIndex;
using keyboard::testing::LitKeys;
using std::chrono::milliseconds;

// One key event by its set-1 code, as the keyboard's driver gives it.
void SendScan(std::uint16_t set1, bool bUp) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = static_cast<WORD>(set1 & 0xFF);
    input.ki.dwFlags = KEYEVENTF_SCANCODE;
    if (set1 & keyboard::kExtended) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    if (bUp) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void PressScan(std::uint16_t set1) {
    SendScan(set1, false);
    SendScan(set1, true);
}

// An owner, as the main dialog is, and the test over it.
class KeyboardTestWindow : public ::testing::Test {
protected:
    void SetUp() override {
        hOwner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 60,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(hOwner, nullptr);
        pTest = CKeyboardTestWnd::Open(hOwner);
        ASSERT_NE(pTest, nullptr);
        hTest = pTest->GetSafeHwnd();
        Activate(hTest);
        Pump(milliseconds(100));
    }
    void TearDown() override {
        if (IsWindow(hOwner)) DestroyWindow(hOwner);
        Pump(milliseconds(20));
        EXPECT_EQ(CKeyboardTestWnd::LiveCount(), 0) << "the window object freed itself";
    }

    HWND hOwner = nullptr;
    CKeyboardTestWnd* pTest = nullptr;
    HWND hTest = nullptr;
};

TEST_F(KeyboardTestWindow, ScanCodesLightTheirKeysAndNoKeyEndsIt) {
    EXPECT_EQ(GetWindow(hTest, GW_OWNER), hOwner);
    EXPECT_FALSE(IsWindowEnabled(hOwner)) << "the owner waits for the test";
    EXPECT_EQ(GetFocus(), hTest);

    constexpr std::uint16_t kAlt = 0x38;
    PressScan(0x01);  // Esc
    PressScan(0x1C);  // Enter
    PressScan(0x0F);  // Tab
    SendScan(kAlt, false);
    PressScan(0x3E);  // Alt+F4
    PressScan(0x39);  // Alt+Space: the window menu elsewhere
    SendScan(kAlt, true);
    PressScan(0x44);                        // F10
    PressScan(keyboard::kExtended | kAlt);  // right Alt
    PressScan(keyboard::kExtended | 0x48);  // Up
    PressScan(0x10);                        // Q, whatever the layout types with it
    PressScan(0x64);                        // F13: no key of the laptop
    PressScan(keyboard::kExtended | 0x2A);  // the shift Windows adds around E0 keys
    Pump(milliseconds(200));

    ASSERT_TRUE(IsWindow(hTest)) << "no key ended the test";
    EXPECT_FALSE(IsWindowEnabled(hOwner));
    const std::set<std::string> expected = {"Esc@0",    "Enter@51", "Tab@0",  "Alt@12", "F4@16",
                                            "Space@16", "F10@40",   "Alt@36", "↑@52",   "Q@6"};
    EXPECT_EQ(LitKeys(pTest->State()), expected);
    EXPECT_EQ(text::GbkToUtf8(pTest->State().CountText()), "已测试 10 / 79 个键");
    for (HWND hWnd : ThreadWindows()) {
        EXPECT_NE(ClassOf(hWnd), L"#32768") << "no menu opened";
    }

    // Lit keys are drawn filled, the others not, Fn greyed.
    const auto inside = [&](std::size_t index) {
        const RECT r = pTest->KeyRect(index);
        return CaptureClient(hTest, {r.left + 2, r.top + 2, r.left + 3, r.top + 3}).At(0, 0);
    };
    const COLORREF lit = inside(KeyIndex("Esc", 0));
    const COLORREF unlit = inside(KeyIndex("F1", 4));
    const COLORREF swallowed = inside(KeyIndex("Fn", 4));
    EXPECT_EQ(lit, RGB(46, 160, 67));
    EXPECT_NE(unlit, lit);
    EXPECT_NE(swallowed, unlit);
    EXPECT_NE(swallowed, lit);
    EXPECT_EQ(inside(KeyIndex("↑", 52)), lit);
    EXPECT_EQ(inside(KeyIndex("↓", 52)), unlit);

    // The close button's command ends it and gives the owner back its input.
    SendMessageW(hTest, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(milliseconds(50));
    EXPECT_FALSE(IsWindow(hTest));
    EXPECT_EQ(CKeyboardTestWnd::LiveCount(), 0);
    EXPECT_TRUE(IsWindowEnabled(hOwner));
}

TEST_F(DialogTest, TheKeyboardEntryOpensTheTestOverTheDialog) {
    NotifyDoubleClick(pages::kKeyboardTest);
    Pump(milliseconds(50));
    const HWND hTest = FindThreadWindow(win32::Utf8ToWide(keyboard::kTitle));
    ASSERT_NE(hTest, nullptr);
    EXPECT_EQ(GetWindow(hTest, GW_OWNER), hDlg);
    EXPECT_FALSE(IsWindowEnabled(hDlg));
    PressScan(0x1C);  // Enter and Esc are the test's, not the dialog's
    PressScan(0x01);
    Pump(milliseconds(100), hDlg);
    EXPECT_TRUE(IsWindow(hTest));
    EXPECT_TRUE(IsWindow(hDlg));
    SendMessageW(hTest, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(milliseconds(50), hDlg);
    EXPECT_FALSE(IsWindow(hTest));
    EXPECT_TRUE(IsWindowEnabled(hDlg));
    EXPECT_EQ(CKeyboardTestWnd::LiveCount(), 0);
}

}  // namespace
}  // namespace wintest
