// The system menu's about item and the about box; the keys that end the main dialog's
// modal loop.
#include "win32/about_dlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "pages/dialog_texts.h"
#include "win32/dialog_test_fixture.h"

namespace wintest {
namespace {

using std::chrono::milliseconds;
using win32::Utf8ToWide;

std::wstring MenuText(HMENU hMenu, int position) {
    std::wstring text(256, L'\0');
    const int n = GetMenuStringW(hMenu, static_cast<UINT>(position), text.data(),
                                 static_cast<int>(text.size()), MF_BYPOSITION);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return text;
}

TEST_F(DialogTest, SystemMenuEndsWithASeparatorSaveAndTheAboutItem) {
    HMENU hMenu = GetSystemMenu(hDlg, FALSE);
    ASSERT_NE(hMenu, nullptr);
    const int count = GetMenuItemCount(hMenu);
    ASSERT_GE(count, 4);
    EXPECT_EQ(GetMenuItemID(hMenu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(MenuText(hMenu, count - 1), L"关于Quorrix(&A)...");
    EXPECT_EQ(MenuText(hMenu, count - 1), Utf8ToWide(pages::kAboutItem)) << "string 101";
    EXPECT_EQ(GetMenuItemID(hMenu, count - 2), static_cast<UINT>(IDM_SAVEREPORT));
    EXPECT_EQ(MenuText(hMenu, count - 2), L"保存报告...");
    EXPECT_EQ(MenuText(hMenu, count - 2), Utf8ToWide(pages::kSaveReportItem)) << "string 102";
    EXPECT_TRUE(GetMenuState(hMenu, static_cast<UINT>(count - 3), MF_BYPOSITION) & MF_SEPARATOR);
    // The system's own items come first: Close among them.
    EXPECT_NE(GetMenuState(hMenu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

// What the about box showed while it ran, read from inside its modal loop, which it then
// ends with its OK button.
struct AboutSeen {
    bool bFound = false;
    bool bOwnerDisabled = false;
    HWND hOwner = nullptr;
    std::wstring strCaption;
    std::vector<std::wstring> texts;
    std::vector<long> overruns;  // of each text beyond its control, in pixels
    HICON hIcon = nullptr;
    RECT client{};
    RECT mapped{};
    RECT window{};
};

AboutSeen RunAboutFrom(const std::function<void()>& open, HWND hMain) {
    AboutSeen seen;
    OnceInLoop([&] {
        HWND hAbout = FindThreadWindow(L"关于 Quorrix");
        if (hAbout == nullptr) return false;
        seen.bFound = true;
        seen.hOwner = GetWindow(hAbout, GW_OWNER);
        seen.bOwnerDisabled = !IsWindowEnabled(hMain);
        seen.strCaption = TextOf(hAbout);
        for (HWND hChild = GetWindow(hAbout, GW_CHILD); hChild != nullptr;
             hChild = GetWindow(hChild, GW_HWNDNEXT)) {
            if (ClassOf(hChild) == L"Static" && (GetWindowLongW(hChild, GWL_STYLE) & SS_ICON)) {
                seen.hIcon = reinterpret_cast<HICON>(SendMessageW(hChild, STM_GETICON, 0, 0));
            } else {
                seen.texts.push_back(TextOf(hChild));
                // How far the text's single line overruns its control (0 when it fits).
                RECT box{};
                GetClientRect(hChild, &box);
                HDC hDC = GetDC(hChild);
                HGDIOBJ hOld = SelectObject(
                    hDC, reinterpret_cast<HFONT>(SendMessageW(hChild, WM_GETFONT, 0, 0)));
                SIZE extent{};
                const std::wstring text = TextOf(hChild);
                GetTextExtentPoint32W(hDC, text.c_str(), static_cast<int>(text.size()), &extent);
                SelectObject(hDC, hOld);
                ReleaseDC(hChild, hDC);
                seen.overruns.push_back(std::max(0L, extent.cx - box.right));
            }
        }
        GetClientRect(hAbout, &seen.client);
        GetWindowRect(hAbout, &seen.window);
        seen.mapped = {0, 0, 235, 55};
        MapDialogRect(hAbout, &seen.mapped);
        // Its OK button, pressed.
        SendMessageW(GetDlgItem(hAbout, IDOK), BM_CLICK, 0, 0);
        return true;
    });
    open();
    CancelLoopAction();
    return seen;
}

TEST_F(DialogTest, TheAboutItemOpensTheAboutBoxModally) {
    const AboutSeen seen =
        RunAboutFrom([this] { SendMessageW(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); }, hDlg);
    ASSERT_TRUE(seen.bFound);
    EXPECT_EQ(seen.hOwner, hDlg);
    EXPECT_TRUE(seen.bOwnerDisabled) << "the main window takes no input meanwhile";
    EXPECT_EQ(seen.strCaption, Utf8ToWide(pages::kAboutTitle));
    const std::vector<std::wstring> texts = {Utf8ToWide(pages::kAboutVersion),
                                             Utf8ToWide(pages::kAboutDate),
                                             Utf8ToWide(pages::kOkText)};
    EXPECT_EQ(seen.texts, texts);
    EXPECT_EQ(seen.overruns, std::vector<long>(3, 0)) << "every text on one line";
    EXPECT_NE(seen.hIcon, nullptr);
    EXPECT_EQ(seen.client.right, seen.mapped.right);
    EXPECT_EQ(seen.client.bottom, seen.mapped.bottom);
    // Centred over the main window.
    RECT main{};
    GetWindowRect(hDlg, &main);
    EXPECT_LE(std::abs((seen.window.left + seen.window.right) - (main.left + main.right)), 1);
    EXPECT_LE(std::abs((seen.window.top + seen.window.bottom) - (main.top + main.bottom)), 1);
    // It is gone and the main window takes input again.
    EXPECT_EQ(FindThreadWindow(L"关于 Quorrix"), nullptr);
    EXPECT_TRUE(IsWindowEnabled(hDlg));
}

TEST_F(DialogTest, TheAboutCommandWithItsLowBitsSetStillOpensIt) {
    const AboutSeen seen =
        RunAboutFrom([this] { SendMessageW(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x000F, 0); }, hDlg);
    EXPECT_TRUE(seen.bFound);
}

TEST_F(DialogTest, TheAboutItemChosenFromTheOpenSystemMenu) {
    // The keys come from another thread, since the menu runs a loop of its own: Alt+Space
    // opens the system menu, Up moves from its first item round to its last, Enter chooses.
    std::atomic<bool> bMenuSeen{false};
    const AboutSeen seen = RunAboutFrom(
        [&] {
            std::thread keys([&] {
                Sleep(100);
                INPUT altSpace[4]{};
                const WORD vks[] = {VK_MENU, VK_SPACE, VK_SPACE, VK_MENU};
                for (int i = 0; i < 4; ++i) {
                    altSpace[i].type = INPUT_KEYBOARD;
                    altSpace[i].ki.wVk = vks[i];
                    if (i >= 2) altSpace[i].ki.dwFlags = KEYEVENTF_KEYUP;
                }
                SendInput(4, altSpace, sizeof(INPUT));
                for (int i = 0; i < 100 && !bMenuSeen; ++i) {
                    bMenuSeen = FindWindowW(L"#32768", nullptr) != nullptr &&
                                IsWindowVisible(FindWindowW(L"#32768", nullptr));
                    Sleep(30);
                }
                PressKey(VK_UP);
                Sleep(50);
                PressKey(VK_RETURN);
            });
            Pump(milliseconds(1500), hDlg);
            keys.join();
        },
        hDlg);
    EXPECT_TRUE(bMenuSeen) << "the system menu opened";
    EXPECT_TRUE(seen.bFound);
    EXPECT_EQ(seen.strCaption, Utf8ToWide(pages::kAboutTitle));
}

// The main dialog run modally, as the program runs it, ended by one key.
INT_PTR RunModalAndPress(CQuorrixDlg& dlg, const std::vector<WORD>& keys) {
    OnceInLoop([&] {
        HWND hDlg = dlg.GetSafeHwnd();
        if (hDlg == nullptr || !IsWindowVisible(hDlg)) return false;
        Activate(hDlg);
        for (WORD vk : keys) PressKey(vk);
        return true;
    });
    const INT_PTR result = dlg.DoModal(nullptr);
    CancelLoopAction();
    return result;
}

TEST(ModalDialog, EnterAndEscEndIt) {
    testsupport::CSampleMachine machine;
    {
        CQuorrixDlg dlg(machine.Seams(), [](std::string_view, std::string_view) {});
        EXPECT_EQ(RunModalAndPress(dlg, {VK_RETURN}), IDOK);
    }
    {
        CQuorrixDlg dlg(machine.Seams(), [](std::string_view, std::string_view) {});
        EXPECT_EQ(RunModalAndPress(dlg, {VK_ESCAPE}), IDCANCEL);
    }
    {
        // Enter right after choosing a category with the arrow keys ends it, no page built.
        CQuorrixDlg dlg(machine.Seams(), [](std::string_view, std::string_view) {});
        EXPECT_EQ(RunModalAndPress(dlg, {VK_DOWN, VK_DOWN, VK_RETURN}), IDOK);
        EXPECT_TRUE(dlg.m_pages.m_strBiosPage.empty());
        EXPECT_TRUE(dlg.m_pages.m_strSystemPage.empty());
    }
}

}  // namespace
}  // namespace wintest
