// CQuorrixDlg: the main window (template 102). Its three data sources gather everything at
// construction, before any window exists; a double-click on a category shows that
// category's page.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "battery/battery_info.h"
#include "disk/hd_smart.h"
#include "display/edid.h"
#include "pages/category_flow.h"
#include "pages/dialog_seams.h"
#include "pages/page_dispatch.h"
#include "platform/notifier.h"
#include "smbios/smbios.h"
#include "sysinfo/command_capture_pump.h"
#include "win32/dialog_base.h"

class CQuorrixDlg : public CDialogBase, private pages::ICategoryView {
public:
    // Gathers the SMBIOS tables, the first drive, the first battery and the built-in panel's
    // EDID through `seams`, in that order, and loads the icon. `notify` shows the program's message
    // boxes, those of the data sources included.
    CQuorrixDlg(const DialogSeams& seams, platform::Notifier notify);

    // Adds the entries of pages::kCategoryNames to the category list, in table order.
    void FillCategoryList();
    // Shows the page of the selected category (nothing when none is selected).
    void OnCategoryDblClk();
    // Runs `command` through the command interpreter and streams its output into the page
    // pane. The window keeps handling its messages meanwhile; closing it ends the command, and
    // the window closes once the run has ended.
    void RunCommand(std::string command);
    // True while RunCommand runs.
    bool Running() const { return m_pRun != nullptr; }

    CSMBios m_smbios;
    CHdSmart m_hdSmart;
    CBatteryInfo m_battery;
    // The built-in panel's EDID, decoded; nullopt when none was read.
    std::optional<display::EdidPanel> m_panel;
    // The seven page strings and the SMBIOS version text the BIOS page writes.
    pages::CPageStrings m_pages;
    HICON m_hIcon = nullptr;

protected:
    INT_PTR OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    // During a run: end the command; the dialog ends when the run has.
    void OnOK() override { EndOrDefer(IDOK); }
    void OnCancel() override { EndOrDefer(IDCANCEL); }

private:
    // WM_SYSCOMMAND: the about and save-report items, else the system's handling (false).
    bool OnSysCommand(UINT nID);
    // Asks where to save the report (the seam, else the system's save dialog) and writes it.
    void OnSaveReport();
    // WM_PAINT: the icon, centred, while the window is minimised (false: default painting).
    bool OnPaint();
    // Appends the separator, the save-report item (string 102) and the about item (string 101)
    // to the system menu.
    void AddAboutItem();
    // The selected position of the category list, -1 when nothing is selected.
    int SelectedPosition() const;
    // The view the category flow drives.
    void SetFrameCaption(std::string_view utf8Caption) override;
    void SetPaneText(const std::string& gbkText) override;
    void PaintNow() override;
    void ShowMessage(std::string_view gbkText, std::string_view gbkCaption) override;
    void OpenPixelTest() override;
    void OpenKeyboardTest() override;
    void RunSummary(const std::string& command) override { RunCommand(command); }
    void SummaryEnded() override;
    // The command's output, in the code page console programs write in.
    void SetPaneOutput(const std::string& output);
    void EndOrDefer(INT_PTR nResult);

    HWND m_hCategoryList = nullptr;
    HWND m_hPageFrame = nullptr;
    HWND m_hPageEdit = nullptr;
    platform::Notifier m_notify;
    platform::IProcessRunner& m_processRunner;
    std::function<void(std::chrono::milliseconds)> m_pause;
    std::function<std::string(const std::string&)> m_chooseReportPath;
    pages::CCategoryFlow m_flow;
    // The run under way, null when none.
    sysinfo::CPumpedRunner* m_pRun = nullptr;
    // Set when the dialog was told to end during a run: with what.
    std::optional<INT_PTR> m_endAfterRun;
};
