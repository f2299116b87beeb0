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

BOOL CPixelTestWnd::OnInitDialog() {
    // The primary screen, whatever the template's size.
    MoveWindow(m_hWnd, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE);
    m_nColorIndex = 0;
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
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // A rectangle of the screen's size from the client origin, in the default (black, one
    // pixel) pen: its top and left edges lie along the client area's, the other two outside.
    HGDIOBJ hOld = SelectObject(hDC, m_brushes[static_cast<std::size_t>(m_nColorIndex)]);
    Rectangle(hDC, 0, 0, width, height);
    SelectObject(hDC, hOld);
    EndPaint(m_hWnd, &ps);
}
