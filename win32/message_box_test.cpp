// The window's message boxes: page text shown through the wide API, under its caption, with
// one OK button, owned by the window that asks.
#include "win32/message_box.h"

#include <gtest/gtest.h>

#include "text/gbk.h"
#include "win32/window_test_support.h"

namespace wintest {
namespace {

struct BoxSeen {
    bool bFound = false;
    HWND hOwner = nullptr;
    std::vector<std::wstring> statics;
    std::vector<std::wstring> buttons;
};

// Shows the box and reads it from inside its modal loop, then presses its OK button.
BoxSeen ShowAndRead(HWND hOwner, const std::string& gbkText, const std::string& gbkCaption,
                    const std::wstring& caption) {
    BoxSeen seen;
    OnceInLoop([&] {
        HWND hBox = FindThreadWindow(caption);
        if (hBox == nullptr) return false;
        seen.bFound = true;
        seen.hOwner = GetWindow(hBox, GW_OWNER);
        HWND hOk = nullptr;
        for (HWND hChild = GetWindow(hBox, GW_CHILD); hChild != nullptr;
             hChild = GetWindow(hChild, GW_HWNDNEXT)) {
            if (!IsWindowVisible(hChild)) continue;
            if (ClassOf(hChild) == L"Button") {
                seen.buttons.push_back(TextOf(hChild));
                hOk = hChild;
            } else if (ClassOf(hChild) == L"Static" && !TextOf(hChild).empty()) {
                seen.statics.push_back(TextOf(hChild));
            }
        }
        if (hOk != nullptr) SendMessageW(hOk, BM_CLICK, 0, 0);
        return true;
    });
    win32::ShowMessageBox(hOwner, gbkText, gbkCaption);
    CancelLoopAction();
    return seen;
}

TEST(MessageBoxShown, ShowsPageTextUnderItsCaptionWithOneButton) {
    HWND hOwner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10, 100, 60,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hOwner, nullptr);
    const BoxSeen hint =
        ShowAndRead(hOwner, text::Utf8ToGbk("退出测试请按ESC键"), text::Utf8ToGbk("提示"), L"提示");
    ASSERT_TRUE(hint.bFound);
    EXPECT_EQ(hint.hOwner, hOwner);
    EXPECT_EQ(hint.statics, std::vector<std::wstring>{L"退出测试请按ESC键"});
    EXPECT_EQ(hint.buttons.size(), 1u) << "one OK button";
    DestroyWindow(hOwner);

    // No owner yet (a source's box while the dialog gathers), an ASCII text, the program's
    // name as caption.
    const BoxSeen failed = ShowAndRead(nullptr, "CreatePipe Failed", "quorrix", L"quorrix");
    ASSERT_TRUE(failed.bFound);
    EXPECT_EQ(failed.hOwner, nullptr);
    EXPECT_EQ(failed.statics, std::vector<std::wstring>{L"CreatePipe Failed"});
    EXPECT_EQ(failed.buttons.size(), 1u);
}

}  // namespace
}  // namespace wintest
