// CQuorrixDlg: the main window. Its three data sources gather everything at construction,
// before any window exists; a double-click on a category shows that category's page.
#pragma once

#include <QDialog>
#include <QIcon>
#include <optional>
#include <string>

#include "battery/battery_info.h"
#include "disk/hd_smart.h"
#include "display/edid.h"
#include "pages/category_flow.h"
#include "pages/dialog_seams.h"
#include "pages/page_dispatch.h"
#include "platform/notifier.h"
#include "smbios/smbios.h"
#include "sysinfo/command_capture_pump.h"

class QGroupBox;
class QListWidget;
class QPlainTextEdit;

class CQuorrixDlg : public QDialog, private pages::ICategoryView {
    Q_OBJECT

public:
    // Gathers the SMBIOS tables, the first drive, the first battery and the built-in panel's
    // EDID through `seams`, in that order, then builds the window (not shown). `notify` shows the
    // program's message boxes, those of the data sources included.
    CQuorrixDlg(const DialogSeams& seams, platform::Notifier notify, QWidget* pParent = nullptr);

    // Adds the entries of pages::kCategoryNames to the category list, in table order.
    void FillCategoryList();
    // Shows the page of the selected category (nothing when none is selected).
    void OnCategoryDblClk();
    // Runs `command` through the command interpreter and streams its output into the page pane.
    // The window keeps handling its events meanwhile; closing it ends the command, and the
    // window closes once the run has ended.
    void RunCommand(std::string command);
    // True while RunCommand runs.
    bool Running() const { return m_pRun != nullptr; }
    // During a run: ends the command; the dialog ends with `r` when the run has.
    void done(int r) override;
    // Opens the about box modally.
    void OnAbout();
    // Asks where to save the report (the seam, else Qt's save dialog) and writes it there.
    void OnSaveReport();

    QListWidget* m_pCategoryList = nullptr;
    CSMBios m_smbios;
    CHdSmart m_hdSmart;
    CBatteryInfo m_battery;
    // The built-in panel's EDID, decoded; nullopt when none was read.
    std::optional<display::EdidPanel> m_panel;
    // The seven page strings and the SMBIOS version text the BIOS page writes.
    pages::CPageStrings m_pages;
    QIcon m_hIcon;

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void CreateControls();
    void InitDialog();
    // The selected position of the category list, -1 when nothing is selected.
    int SelectedPosition() const;
    // The view the category flow drives.
    void SetFrameCaption(std::string_view utf8Caption) override;
    void SetPaneText(const std::string& gbkText) override;
    void PaintNow() override { repaint(); }
    void ShowMessage(std::string_view gbkText, std::string_view gbkCaption) override;
    void OpenPixelTest() override;
    void OpenKeyboardTest() override;
    void RunSummary(const std::string& command) override { RunCommand(command); }
    void SummaryEnded() override;

    QGroupBox* m_pPageFrame = nullptr;
    QPlainTextEdit* m_pPageEdit = nullptr;
    platform::Notifier m_notify;
    platform::IProcessRunner& m_processRunner;
    std::function<void(std::chrono::milliseconds)> m_pause;
    std::function<std::string(const std::string&)> m_chooseReportPath;
    pages::CCategoryFlow m_flow;
    // The run under way, null when none.
    sysinfo::CPumpedRunner* m_pRun = nullptr;
    // Set when the dialog was told to end during a run: with what.
    std::optional<int> m_endAfterRun;
};
