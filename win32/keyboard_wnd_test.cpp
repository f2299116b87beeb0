// The keyboard test window: key input through the system's input queue (SendInput) lights the
// keys of its scan codes and the count; no key ends it, the close button does.
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

// One key event as a keyboard's driver gives it: the virtual key and the set-1 code. Wine 8
// passes a KEYEVENTF_SCANCODE event on with virtual key 0, which no system key handling would
// see as Alt or F10, so each event carries both.
void SendKey(WORD vk, std::uint16_t set1, bool bUp) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(set1 & 0xFF);
    if (set1 & keyboard::kExtended) input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    if (bUp) input.ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void Press(WORD vk, std::uint16_t set1) {
    SendKey(vk, set1, false);
    SendKey(vk, set1, true);
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
    Press(VK_ESCAPE, 0x01);
    Press(VK_RETURN, 0x1C);
    Press(VK_TAB, 0x0F);
    SendKey(VK_MENU, kAlt, false);
    Press(VK_F4, 0x3E);     // Alt+F4
    Press(VK_SPACE, 0x39);  // Alt+Space: the window menu elsewhere
    SendKey(VK_MENU, kAlt, true);
    Press(VK_F10, 0x44);
    Press(VK_MENU, keyboard::kExtended | kAlt);  // right Alt
    Press(VK_UP, keyboard::kExtended | 0x48);
    Press('A', 0x10);     // the key of Q, typing A on AZERTY
    Press(VK_F13, 0x64);  // no key of the laptop
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
    Press(VK_RETURN, 0x1C);  // Enter and Esc are the test's, not the dialog's
    Press(VK_ESCAPE, 0x01);
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
