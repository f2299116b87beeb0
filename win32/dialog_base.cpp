#include "win32/dialog_base.h"

CDialogBase::~CDialogBase() {
    if (m_hWnd != nullptr) {
        SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
        DestroyWindow(m_hWnd);
    }
}

INT_PTR CDialogBase::DoModal(HWND hOwner) {
    m_bModal = true;
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nTemplateId), hOwner,
                        &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
    m_bModal = false;
    return result;
}

HWND CDialogBase::Create(HWND hOwner) {
    m_bModal = false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nTemplateId), hOwner,
                              &CDialogBase::DialogProc, reinterpret_cast<LPARAM>(this));
}

void CDialogBase::EndDialog(INT_PTR nResult) {
    if (m_hWnd == nullptr) return;
    if (m_bModal) {
        ::EndDialog(m_hWnd, nResult);
    } else {
        DestroyWindow(m_hWnd);
    }
}

void CDialogBase::CenterWindow() {
    RECT work{};
    RECT window{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || !GetWindowRect(m_hWnd, &window)) {
        return;
    }
    RECT around = work;
    HWND hOwner = GetWindow(m_hWnd, GW_OWNER);
    if (hOwner != nullptr && IsWindowVisible(hOwner)) GetWindowRect(hOwner, &around);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    int x = around.left + (around.right - around.left - width) / 2;
    int y = around.top + (around.bottom - around.top - height) / 2;
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialogBase::OnMessage(UINT nMsg, WPARAM wParam, LPARAM) {
    switch (nMsg) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    CDialogBase* pDlg = nullptr;
    if (nMsg == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialogBase*>(lParam);
        pDlg->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(pDlg));
    } else {
        pDlg = reinterpret_cast<CDialogBase*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (the font) and after the object let go of the window.
    if (pDlg == nullptr) return FALSE;

    if (nMsg == WM_NCDESTROY) {
        SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        pDlg->m_hWnd = nullptr;
        pDlg->PostNcDestroy();
        return FALSE;
    }
    return pDlg->OnMessage(nMsg, wParam, lParam);
}
