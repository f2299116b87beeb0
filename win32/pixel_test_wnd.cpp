#include "win32/pixel_test_wnd.h"

#include "win32/resource_ids.h"

int CPixelTestWnd::s_nLiveCount = 0;

CPixelTestWnd::CPixelTestWnd() : CDialogBase(IDD_PIXEL_TEST) {
    for (std::size_t i = 0; i < m_brushes.size(); ++i) {
        const pixeltest::TestColor& c = pixeltest::kColors[i];
        m_brushes[i] = CreateSolidBrush(RGB(c.red, c.green, c.blue));
    }
    ++s_nLiveCount;
}

CPixelTestWnd::~CPixelTestWnd() {
    for (HBRUSH hBrush : m_brushes) {
        if (hBrush != nullptr) DeleteObject(hBrush);
    }
    --s_nLiveCount;
}

RECT CPixelTestWnd::MonitorRect(HWND hWnd) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR hMonitor = MonitorFromWindow(hWnd, MONITOR_DEFAULTTOPRIMARY);
    if (hMonitor == nullptr || !GetMonitorInfoW(hMonitor, &info)) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return info.rcMonitor;
}

BOOL CPixelTestWnd::OnInitDialog() {
    // The monitor the owner is on (a laptop's own panel beside an external primary monitor),
    // in the physical pixels a DPI-aware program sees, whatever the template's size.
    HWND hOwner = GetWindow(m_hWnd, GW_OWNER);
    const RECT monitor = MonitorRect(hOwner != nullptr ? hOwner : m_hWnd);
    MoveWindow(m_hWnd, monitor.left, monitor.top, monitor.right - monitor.left,
               monitor.bottom - monitor.top, TRUE);
    m_nColorIndex = 0;
    // The pointer would hide the pixels under it; WM_DESTROY shows it again.
    ShowCursor(FALSE);
    m_bCursorHidden = true;
    return TRUE;
}

INT_PTR CPixelTestWnd::OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) {
    switch (nMsg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A dialog's window class takes double-clicks, so the second of two quick presses
            // arrives as a double-click: it is a press all the same.
            OnLButtonDown();
            return FALSE;
        case WM_PAINT:
            OnPaint();
            return TRUE;
        case WM_SETCURSOR:
            // No pointer over the test, whatever the window class's cursor.
            SetCursor(nullptr);
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_DESTROY:
            if (m_bCursorHidden) ShowCursor(TRUE);
            m_bCursorHidden = false;
            return CDialogBase::OnMessage(nMsg, wParam, lParam);
        case WM_ERASEBKGND:
            // The background is the current colour at once, not the dialog's grey first:
            // a click changes the colour without a flash.
            Fill(reinterpret_cast<HDC>(wParam));
            SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_KEYDOWN:
            // The window has no controls, so the keys come here rather than through a
            // dialog's key handling: Esc cancels, Enter is the default (OK) command.
            if (wParam == VK_ESCAPE) {
                OnCancel();
                return TRUE;
            }
            if (wParam == VK_RETURN) {
                OnOK();
                return TRUE;
            }
            return FALSE;
        default:
            return CDialogBase::OnMessage(nMsg, wParam, lParam);
    }
}

void CPixelTestWnd::OnLButtonDown() {
    m_nColorIndex = (m_nColorIndex + 1) % pixeltest::kColorCount;
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPixelTestWnd::Fill(HDC hDC) const {
    RECT client{};
    GetClientRect(m_hWnd, &client);
    FillRect(hDC, &client, m_brushes[static_cast<std::size_t>(m_nColorIndex)]);
}

void CPixelTestWnd::OnPaint() {
    PAINTSTRUCT ps{};
    HDC hDC = BeginPaint(m_hWnd, &ps);
    // Nothing but the colour, up to the last row and column: a dead pixel at the panel's
    // edge must show too.
    Fill(hDC);
    EndPaint(m_hWnd, &ps);
}
