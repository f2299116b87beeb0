#include "app/quorrix_dlg.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStandardPaths>
#include <utility>

#include "app/about_dlg.h"
#include "app/app_icon.h"
#include "app/app_name.h"
#include "app/dialog_units.h"
#include "app/event_pump.h"
#include "app/keyboard_wnd.h"
#include "app/widget_text.h"
#include "pages/dialog_texts.h"
#include "pages/report_save.h"
#include "platform/panel_edid.h"
#include "pixeltest/pixel_test_wnd.h"
#include "sysinfo/command_capture.h"
#include "text/gbk.h"

namespace {

// The layout in dialog units: the client area, the category list, the page frame around
// the page pane.
constexpr QRect kDialogRect(0, 0, 462, 293);
constexpr QRect kListRect(7, 7, 69, 278);
constexpr QRect kFrameRect(79, 7, 377, 278);
constexpr QRect kPaneRect(83, 18, 369, 263);

}  // namespace

CQuorrixDlg::CQuorrixDlg(const DialogSeams& seams, platform::Notifier notify, QWidget* pParent)
    : QDialog(pParent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_smbios(seams.smbiosSource, notify),
      m_hdSmart(seams.drives),
      m_battery(seams.batteries),
      m_panel(display::DecodeEdid(seams.panelEdid.ReadPanelEdid())),
      m_hIcon(app::AppIcon()),
      m_notify(std::move(notify)),
      m_processRunner(seams.processRunner),
      m_pause(seams.pause),
      m_chooseReportPath(seams.chooseReportPath),
      m_flow(*this, {&m_smbios, &m_hdSmart, &m_battery, &m_panel}, &m_pages,
             seams.strSummaryCommand) {
    CreateControls();
    InitDialog();
}

void CQuorrixDlg::CreateControls() {
    const QFont font = app::DialogFont();
    setFont(font);
    const app::DialogBaseUnits units = app::BaseUnitsOf(font);
    setWindowTitle(app::OwnText(pages::kDialogTitle));
    setFixedSize(app::MapDialogRect(kDialogRect, units).size());

    m_pCategoryList = new QListWidget(this);
    m_pCategoryList->setGeometry(app::MapDialogRect(kListRect, units));
    m_pCategoryList->setSortingEnabled(true);
    m_pCategoryList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pCategoryList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pCategoryList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Left double-clicks are taken from the list's viewport, on an entry or below the last
    // one alike, and act on the selected entry. `activated` is not used: it also fires on
    // Enter, which closes the dialog instead.
    m_pCategoryList->viewport()->installEventFilter(this);

    m_pPageFrame = new QGroupBox(this);
    m_pPageFrame->setGeometry(app::MapDialogRect(kFrameRect, units));

    m_pPageEdit = new QPlainTextEdit(this);
    m_pPageEdit->setGeometry(app::MapDialogRect(kPaneRect, units));
    m_pPageEdit->setReadOnly(true);
    m_pPageEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pPageEdit->setFrameShape(QFrame::NoFrame);
    m_pPageEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pPageEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pPageEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A read-only pane keeps the dialog's face, as a read-only edit control does.
    m_pPageEdit->setBackgroundRole(QPalette::Window);
    m_pPageEdit->viewport()->setBackgroundRole(QPalette::Window);
    m_pPageEdit->raise();

    setTabOrder(m_pCategoryList, m_pPageEdit);
}

void CQuorrixDlg::InitDialog() {
    // Centred on the primary screen (without this a dialog with no parent goes to the
    // screen under the mouse pointer).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    setWindowIcon(m_hIcon);
    FillCategoryList();
    SetFrameCaption(pages::kWelcomeCaption);
    m_flow.ShowWelcome();
    m_pCategoryList->setFocus();
}

void CQuorrixDlg::FillCategoryList() {
    for (std::string_view name : pages::kCategoryNames) {
        m_pCategoryList->addItem(app::OwnText(name));
    }
}

int CQuorrixDlg::SelectedPosition() const {
    const QList<QListWidgetItem*> selected = m_pCategoryList->selectedItems();
    return selected.isEmpty() ? -1 : m_pCategoryList->row(selected.front());
}

void CQuorrixDlg::SetFrameCaption(std::string_view utf8Caption) {
    m_pPageFrame->setTitle(app::OwnText(utf8Caption));
}

void CQuorrixDlg::SetPaneText(const std::string& gbkText) {
    m_pPageEdit->setPlainText(app::ToWidgetText(gbkText));
}

void CQuorrixDlg::OnCategoryDblClk() {
    m_flow.OnDoubleClick(SelectedPosition());
}

void CQuorrixDlg::ShowMessage(std::string_view gbkText, std::string_view gbkCaption) {
    m_notify(gbkText, gbkCaption);
}

void CQuorrixDlg::OpenPixelTest() {
    // Owned by this dialog, deleted when it closes; nothing keeps a pointer to it.
    auto* pTest = new CPixelTestWnd(this);
    pTest->show();
}

void CQuorrixDlg::SummaryEnded() {
    if (m_endAfterRun) QDialog::done(*std::exchange(m_endAfterRun, std::nullopt));
}

void CQuorrixDlg::RunCommand(std::string command) {
    app::CEventPump pump(this);
    sysinfo::CPumpedRunner runner(m_processRunner, pump);
    auto pause = m_pause;
    if (!pause) pause = [&runner](std::chrono::milliseconds length) { runner.Pause(length); };
    // quorrix-systeminfo writes GBK, as the pages are.
    const sysinfo::CaptureView view{[this](const std::string& output) {
                                        SetPaneText(output);
                                        repaint();
                                    },
                                    pause, m_notify, text::Utf8ToGbk(app::ApplicationName())};
    m_pRun = &runner;
    sysinfo::RunCommand(runner, command, view);
    m_pRun = nullptr;
}

void CQuorrixDlg::done(int r) {
    if (m_pRun == nullptr) {
        QDialog::done(r);
        return;
    }
    if (!m_endAfterRun) m_endAfterRun = r;
    m_pRun->Terminate();
}

void CQuorrixDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CQuorrixDlg::OnSaveReport() {
    pages::ReportPathChooser choose = m_chooseReportPath;
    if (!choose) {
        choose = [this](const std::string& suggestedName) {
            const QString documents =
                QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            const QString path = QFileDialog::getSaveFileName(
                this, app::OwnText(pages::kSaveReportTitle),
                QDir(documents).filePath(QString::fromUtf8(suggestedName)),
                app::OwnText(pages::kSaveReportFileType));
            return path.toUtf8().toStdString();
        };
    }
    pages::SaveReport({&m_smbios, &m_hdSmart, &m_battery, &m_panel}, choose, m_notify,
                      text::Utf8ToGbk(app::ApplicationName()));
}

void CQuorrixDlg::keyPressEvent(QKeyEvent* pEvent) {
    // Enter ends the dialog like its OK command, wherever the focus is; Esc (the base
    // class) like Cancel.
    if ((pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) &&
        (pEvent->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        accept();
        return;
    }
    QDialog::keyPressEvent(pEvent);
}

void CQuorrixDlg::contextMenuEvent(QContextMenuEvent* pEvent) {
    // What a window manager's window menu would offer, then saving the report and the about
    // item after a separator.
    QMenu menu(this);
    menu.addAction(app::OwnText(pages::kCloseItem), this, &QDialog::reject);
    menu.addSeparator();
    menu.addAction(app::OwnText(pages::kSaveReportItem), this, &CQuorrixDlg::OnSaveReport);
    menu.addAction(app::OwnText(pages::kAboutItem), this, &CQuorrixDlg::OnAbout);
    menu.exec(pEvent->globalPos());
}

bool CQuorrixDlg::eventFilter(QObject* pWatched, QEvent* pEvent) {
    if (pWatched == m_pCategoryList->viewport() && pEvent->type() == QEvent::MouseButtonDblClick) {
        const auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (pMouse->button() == Qt::LeftButton) {
            // The second press selects the entry under it, as the first one did.
            if (QListWidgetItem* pItem = m_pCategoryList->itemAt(pMouse->position().toPoint())) {
                m_pCategoryList->setCurrentItem(pItem);
            }
            OnCategoryDblClk();
        }
    }
    return QDialog::eventFilter(pWatched, pEvent);
}

void CQuorrixDlg::OpenKeyboardTest() {
    // Over this dialog, which it keeps from input while it is open; it deletes itself when
    // its close button ends it.
    auto* pTest = new CKeyboardTestWnd(this);
    pTest->move(frameGeometry().center() - pTest->rect().center());
    pTest->show();
    pTest->activateWindow();
}
