// The main dialog over the sample laptop, created from its template (modeless, visible) with
// its three controls at hand. Message boxes are recorded instead of shown.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/sample_machine.h"
#include "win32/quorrix_dlg.h"
#include "win32/resource_ids.h"
#include "win32/wide_text.h"
#include "win32/window_test_support.h"

namespace wintest {

struct Notice {
    std::string strText;     // GBK
    std::string strCaption;  // GBK
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dlg = std::make_unique<CQuorrixDlg>(
            machine.Seams(), [this](std::string_view text, std::string_view caption) {
                notices.push_back({std::string(text), std::string(caption)});
                if (onNotice) onNotice();
            });
        hDlg = dlg->Create(nullptr);
        ASSERT_NE(hDlg, nullptr);
        hList = GetDlgItem(hDlg, IDC_CATEGORY_LIST);
        hPane = GetDlgItem(hDlg, IDC_PAGE_EDIT);
        hFrame = GetDlgItem(hDlg, IDC_STATIC);
        ASSERT_TRUE(hList && hPane && hFrame);
        Activate(hDlg);
        Pump(std::chrono::milliseconds(50), hDlg);
    }

    void TearDown() override {
        CancelLoopAction();
        dlg.reset();
        Pump(std::chrono::milliseconds(20));
    }

    std::wstring Caption() const { return TextOf(hFrame); }
    // The pane's text back in page bytes (GBK), to compare with what a builder produced.
    std::string PaneBytes() const { return win32::WideToGbk(TextOf(hPane)); }

    // Selects `row` and notifies the dialog of a double-click, as the list does.
    void NotifyDoubleClick(int row) {
        SendMessageW(hList, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(hList));
    }
    // The screen point in the middle of entry `row`.
    POINT RowPoint(int row) const {
        RECT item{};
        SendMessageW(hList, LB_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return ScreenCentre(hList, item);
    }
    // A real double-click on entry `row`, through the system's input queue.
    void MouseDoubleClick(int row) {
        DoubleClick(RowPoint(row));
        Pump(std::chrono::milliseconds(150), hDlg);
    }

    testsupport::CSampleMachine machine;
    std::vector<Notice> notices;
    std::function<void()> onNotice;
    std::unique_ptr<CQuorrixDlg> dlg;
    HWND hDlg = nullptr;
    HWND hList = nullptr;
    HWND hPane = nullptr;
    HWND hFrame = nullptr;
};

}  // namespace wintest
