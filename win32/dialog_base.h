// CDialogBase: a dialog made from a resource template of this program, run modally or
// modeless, whose messages reach the object. The window's three dialogs derive from it.
#pragma once

#include <windows.h>

class CDialogBase {
public:
    explicit CDialogBase(int nTemplateId) : m_nTemplateId(nTemplateId) {}
    // Destroys the window if it still exists (without telling the object, which is going).
    virtual ~CDialogBase();
    CDialogBase(const CDialogBase&) = delete;
    CDialogBase& operator=(const CDialogBase&) = delete;

    // Creates the dialog, owned by `hOwner` (may be null), and runs it modally: returns the
    // code it ended with, or -1 when the window could not be created.
    INT_PTR DoModal(HWND hOwner);
    // Creates the dialog modeless, owned by `hOwner`: the window, or null on failure. It is
    // visible at once only if its template says so.
    HWND Create(HWND hOwner);

    HWND GetSafeHwnd() const { return m_hWnd; }

protected:
    // One message of the dialog. Returns TRUE when it was handled (a result other than the
    // handled flag goes into DWLP_MSGRESULT), FALSE for the system's default handling.
    // The base handles WM_INITDIALOG (OnInitDialog) and the OK and Cancel commands.
    virtual INT_PTR OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);
    // The result is WM_INITDIALOG's: TRUE lets the system place the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // IDOK (Enter) and IDCANCEL (Esc, the close box) end the dialog.
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Ends a modal dialog with `nResult`; destroys a modeless one.
    void EndDialog(INT_PTR nResult);
    // Called once the window is gone (WM_NCDESTROY); the object may delete itself here.
    virtual void PostNcDestroy() {}
    // Centres the window over its owner, or in the primary screen's work area when it has
    // none, kept inside that work area.
    void CenterWindow();

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

    int m_nTemplateId;
    bool m_bModal = false;
};
