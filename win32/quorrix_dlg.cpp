#include "win32/quorrix_dlg.h"

#include <commdlg.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "pages/dialog_texts.h"
#include "pages/report_save.h"
#include "platform/panel_edid.h"
#include "sysinfo/command_capture.h"
#include "win32/about_dlg.h"
#include "win32/app_name.h"
#include "win32/dialog_pump.h"
#include "win32/keyboard_wnd.h"
#include "win32/pixel_test_wnd.h"
#include "win32/resource_ids.h"
#include "win32/wide_text.h"

CQuorrixDlg::CQuorrixDlg(const DialogSeams& seams, platform::Notifier notify)
    : CDialogBase(IDD_QUORRIX_DIALOG),
      m_smbios(seams.smbiosSource, notify),
      m_hdSmart(seams.drives),
      m_battery(seams.batteries),
      m_panel(display::DecodeEdid(seams.panelEdid.ReadPanelEdid())),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_notify(std::move(notify)),
      m_processRunner(seams.processRunner),
      m_pause(seams.pause),
      m_chooseReportPath(seams.chooseReportPath),
      m_flow(*this, {&m_smbios, &m_hdSmart, &m_battery, &m_panel}, &m_pages,
             seams.strSummaryCommand) {}

BOOL CQuorrixDlg::OnInitDialog() {
    m_hCategoryList = GetDlgItem(m_hWnd, IDC_CATEGORY_LIST);
    m_hPageEdit = GetDlgItem(m_hWnd, IDC_PAGE_EDIT);
    m_hPageFrame = GetDlgItem(m_hWnd, IDC_STATIC);
    // Centred on the primary screen (it has no owner).
    CenterWindow();
    AddAboutItem();
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    FillCategoryList();
    m_flow.ShowWelcome();
    // The system puts the focus on the first tab stop, the category list; nothing is
    // selected and the frame keeps the template's caption.
    return TRUE;
}

void CQuorrixDlg::AddAboutItem() {
    HMENU hSysMenu = GetSystemMenu(m_hWnd, FALSE);
    if (hSysMenu == nullptr) return;
    std::array<wchar_t, 128> about{};
    std::array<wchar_t, 128> save{};
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, about.data(),
                    static_cast<int>(about.size())) <= 0 ||
        LoadStringW(GetModuleHandleW(nullptr), IDS_SAVEREPORT, save.data(),
                    static_cast<int>(save.size())) <= 0) {
        return;
    }
    AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hSysMenu, MF_STRING, IDM_SAVEREPORT, save.data());
    AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, about.data());
}

void CQuorrixDlg::FillCategoryList() {
    for (std::string_view name : pages::kCategoryNames) {
        SendMessageW(m_hCategoryList, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(win32::Utf8ToWide(name).c_str()));
    }
}

INT_PTR CQuorrixDlg::OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) {
    switch (nMsg) {
        case WM_SYSCOMMAND:
            return OnSysCommand(static_cast<UINT>(wParam)) ? TRUE : FALSE;
        case WM_PAINT:
            return OnPaint() ? TRUE : FALSE;
        case WM_DESTROY:
            // Destroyed during a run: nothing will show the output.
            if (m_pRun != nullptr) m_pRun->Terminate();
            return CDialogBase::OnMessage(nMsg, wParam, lParam);
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(m_hIcon);
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_CATEGORY_LIST && HIWORD(wParam) == LBN_DBLCLK) {
                OnCategoryDblClk();
                return TRUE;
            }
            return CDialogBase::OnMessage(nMsg, wParam, lParam);
        default:
            return CDialogBase::OnMessage(nMsg, wParam, lParam);
    }
}

bool CQuorrixDlg::OnSysCommand(UINT nID) {
    switch (nID & 0xFFF0) {
        case IDM_ABOUTBOX: {
            CAboutDlg about;
            about.DoModal(m_hWnd);
            return true;
        }
        case IDM_SAVEREPORT:
            OnSaveReport();
            return true;
        default:
            return false;
    }
}

void CQuorrixDlg::OnSaveReport() {
    pages::ReportPathChooser choose = m_chooseReportPath;
    if (!choose) {
        choose = [this](const std::string& suggestedName) -> std::string {
            // The suggested name, in a buffer long enough for any path the user picks.
            std::vector<wchar_t> path(32768, L'\0');
            const std::wstring name = win32::Utf8ToWide(suggestedName);
            std::copy(name.begin(), name.begin() + std::min(name.size(), path.size() - 1),
                      path.begin());
            const std::wstring title = win32::Utf8ToWide(pages::kSaveReportTitle);
            // "Text files (*.txt)" with its pattern, then the end of the list.
            std::wstring filter = win32::Utf8ToWide(pages::kSaveReportFileType);
            filter += std::wstring(L"\0*.txt\0\0", 8);
            OPENFILENAMEW ofn{};
            ofn.lStructSize = sizeof ofn;
            ofn.hwndOwner = m_hWnd;
            ofn.lpstrFilter = filter.c_str();
            ofn.lpstrFile = path.data();
            ofn.nMaxFile = static_cast<DWORD>(path.size());
            ofn.lpstrTitle = title.c_str();
            ofn.lpstrDefExt = L"txt";
            ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                        OFN_HIDEREADONLY;
            if (!GetSaveFileNameW(&ofn)) return {};
            return win32::WideToUtf8(path.data());
        };
    }
    pages::SaveReport({&m_smbios, &m_hdSmart, &m_battery, &m_panel}, choose, m_notify,
                      win32::ApplicationName());
}

bool CQuorrixDlg::OnPaint() {
    if (!IsIconic(m_hWnd)) return false;
    PAINTSTRUCT ps{};
    HDC hDC = BeginPaint(m_hWnd, &ps);
    SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - cxIcon + 1) / 2;
    const int y = (client.bottom - client.top - cyIcon + 1) / 2;
    DrawIcon(hDC, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
    return true;
}

int CQuorrixDlg::SelectedPosition() const {
    return static_cast<int>(SendMessageW(m_hCategoryList, LB_GETCURSEL, 0, 0));
}

void CQuorrixDlg::SetFrameCaption(std::string_view utf8Caption) {
    SetWindowTextW(m_hPageFrame, win32::Utf8ToWide(utf8Caption).c_str());
}

void CQuorrixDlg::SetPaneText(const std::string& gbkText) {
    SetWindowTextW(m_hPageEdit, win32::GbkToWide(gbkText).c_str());
}

void CQuorrixDlg::SetPaneOutput(const std::string& output) {
    SetWindowTextW(m_hPageEdit, win32::CommandOutputToWide(output, GetOEMCP()).c_str());
}

void CQuorrixDlg::EndOrDefer(INT_PTR nResult) {
    if (m_pRun == nullptr) {
        EndDialog(nResult);
        return;
    }
    if (!m_endAfterRun) m_endAfterRun = nResult;
    m_pRun->Terminate();
}

void CQuorrixDlg::PaintNow() {
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void CQuorrixDlg::OnCategoryDblClk() {
    m_flow.OnDoubleClick(SelectedPosition());
}

void CQuorrixDlg::ShowMessage(std::string_view gbkText, std::string_view gbkCaption) {
    m_notify(gbkText, gbkCaption);
}

void CQuorrixDlg::OpenPixelTest() {
    // Owned by this dialog; it frees itself when its window goes.
    auto* pTest = new CPixelTestWnd;
    if (pTest->Create(m_hWnd) == nullptr) {
        // No window was made (its initialisation never destroys it), so nothing else will
        // free the object.
        delete pTest;
        return;
    }
    ShowWindow(pTest->GetSafeHwnd(), SW_SHOW);
}

void CQuorrixDlg::SummaryEnded() {
    if (m_endAfterRun) EndDialog(*std::exchange(m_endAfterRun, std::nullopt));
}

void CQuorrixDlg::RunCommand(std::string command) {
    win32::CDialogPump pump(m_hWnd);
    sysinfo::CPumpedRunner runner(m_processRunner, pump);
    auto pause = m_pause;
    if (!pause) pause = [&runner](std::chrono::milliseconds length) { runner.Pause(length); };
    const sysinfo::CaptureView view{[this](const std::string& output) {
                                        SetPaneOutput(output);
                                        PaintNow();
                                    },
                                    pause, m_notify, win32::ApplicationName()};
    m_pRun = &runner;
    sysinfo::RunCommand(runner, command, view);
    m_pRun = nullptr;
}

void CQuorrixDlg::OpenKeyboardTest() {
    // Over this dialog, which it disables until its close button ends it; it frees itself.
    CKeyboardTestWnd::Open(m_hWnd);
}
