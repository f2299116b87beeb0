#include "win32/keyboard_wnd.h"

#include <algorithm>
#include <vector>

#include "keyboard/keyboard_geometry.h"
#include "text/gbk.h"
#include "win32/wide_text.h"

namespace {

constexpr wchar_t kClassName[] = L"QuorrixKeyboardTest";
constexpr COLORREF kLitFill = RGB(46, 160, 67);
constexpr COLORREF kSwallowedFill = RGB(205, 205, 205);
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

}  // namespace

int CKeyboardTestWnd::s_nLiveCount = 0;

CKeyboardTestWnd::CKeyboardTestWnd()
    : m_hLitBrush(CreateSolidBrush(kLitFill)), m_hSwallowedBrush(CreateSolidBrush(kSwallowedFill)) {
    ++s_nLiveCount;
}

CKeyboardTestWnd::~CKeyboardTestWnd() {
    if (m_hLitBrush != nullptr) DeleteObject(m_hLitBrush);
    if (m_hSwallowedBrush != nullptr) DeleteObject(m_hSwallowedBrush);
    --s_nLiveCount;
}

CKeyboardTestWnd* CKeyboardTestWnd::Open(HWND hOwner) {
    const HINSTANCE hInstance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(hInstance, kClassName, &wc)) {
        wc.lpfnWndProc = &CKeyboardTestWnd::WndProc;
        wc.hInstance = hInstance;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        if (RegisterClassExW(&wc) == 0) return nullptr;
    }
    auto* pTest = new CKeyboardTestWnd;
    pTest->m_hOwner = hOwner;
    // The dialog's font (宋体 9 pt), so the labels read as the main window's do.
    pTest->m_hFont = hOwner != nullptr
                         ? reinterpret_cast<HFONT>(SendMessageW(hOwner, WM_GETFONT, 0, 0))
                         : nullptr;
    if (pTest->m_hFont == nullptr)
        pTest->m_hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HDC hScreen = GetDC(nullptr);
    pTest->Layout(hScreen);
    ReleaseDC(nullptr, hScreen);

    RECT frame{0, 0, pTest->m_client.cx, pTest->m_client.cy};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const int cx = frame.right - frame.left;
    const int cy = frame.bottom - frame.top;
    // Centred over the owner, kept inside the work area of the owner's monitor.
    RECT around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (hOwner != nullptr) GetWindowRect(hOwner, &around);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&around, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int x = std::clamp<int>((around.left + around.right - cx) / 2, work.left,
                                  std::max<int>(work.left, work.right - cx));
    const int y = std::clamp<int>((around.top + around.bottom - cy) / 2, work.top,
                                  std::max<int>(work.top, work.bottom - cy));

    const std::wstring title = win32::Utf8ToWide(keyboard::kTitle);
    HWND hWnd = CreateWindowExW(kExStyle, kClassName, title.c_str(), kStyle, x, y, cx, cy, hOwner,
                                nullptr, hInstance, pTest);
    if (hWnd == nullptr) {
        delete pTest;
        return nullptr;
    }
    ShowWindow(hWnd, SW_SHOW);
    if (hOwner != nullptr) EnableWindow(hOwner, FALSE);
    SetForegroundWindow(hWnd);
    SetFocus(hWnd);
    return pTest;
}

void CKeyboardTestWnd::Layout(HDC hDC) {
    HGDIOBJ hOld = SelectObject(hDC, m_hFont);
    TEXTMETRICW tm{};
    GetTextMetricsW(hDC, &tm);
    SelectObject(hDC, hOld);
    const int line = tm.tmHeight;
    // Keys about two and a half lines of text high, as a laptop's keys are to its labels.
    const int key = std::max(MulDiv(36, GetDeviceCaps(hDC, LOGPIXELSY), 96), line * 5 / 2);
    const int margin = key / 3;
    const int width = 15 * key;
    m_rcHint = {margin, margin, margin + width, margin + line};
    m_rcCount = {margin, m_rcHint.bottom + line / 2, margin + width,
                 m_rcHint.bottom + line / 2 + line};
    m_rcKeyboard = {margin, m_rcCount.bottom + margin, margin + width,
                    m_rcCount.bottom + margin + keyboard::KeyboardHeight(width)};
    m_client = {width + 2 * margin, m_rcKeyboard.bottom + margin};
}

RECT CKeyboardTestWnd::KeyRect(std::size_t index) const {
    const std::vector<keyboard::KeyRect> rects =
        keyboard::KeyRects(m_rcKeyboard.right - m_rcKeyboard.left);
    if (index >= rects.size()) return {};
    const keyboard::KeyRect& r = rects[index];
    return {m_rcKeyboard.left + r.left, m_rcKeyboard.top + r.top, m_rcKeyboard.left + r.right,
            m_rcKeyboard.top + r.bottom};
}

LRESULT CALLBACK CKeyboardTestWnd::WndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    if (nMsg == WM_NCCREATE) {
        auto* pTest = static_cast<CKeyboardTestWnd*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        pTest->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pTest));
    }
    auto* pTest = reinterpret_cast<CKeyboardTestWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pTest == nullptr) return DefWindowProcW(hWnd, nMsg, wParam, lParam);
    if (nMsg == WM_NCDESTROY) {
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        const LRESULT result = DefWindowProcW(hWnd, nMsg, wParam, lParam);
        delete pTest;
        return result;
    }
    return pTest->OnMessage(nMsg, wParam, lParam);
}

LRESULT CKeyboardTestWnd::OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) {
    switch (nMsg) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            // Kept from DefWindowProc: the system keys would close the window (Alt+F4) or
            // enter the window menu (F10, Alt alone). Either message lights the key: Windows
            // gives PrtSc's release only.
            OnKey(lParam);
            return 0;
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
            // Alt+Space and Alt+letter open the window menu from here.
            return 0;
        case WM_SYSCOMMAND:
            // The menu by keyboard, however it is asked for; the mouse's close button and
            // window menu stay.
            if ((wParam & 0xFFF0) == SC_KEYMENU) return 0;
            return DefWindowProcW(m_hWnd, nMsg, wParam, lParam);
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            // Gone with its owner or ended: the owner takes input again either way.
            if (m_hOwner != nullptr && IsWindow(m_hOwner)) EnableWindow(m_hOwner, TRUE);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT draws every pixel
        case WM_PAINT:
            OnPaint();
            return 0;
        default:
            return DefWindowProcW(m_hWnd, nMsg, wParam, lParam);
    }
}

void CKeyboardTestWnd::OnKey(LPARAM lParam) {
    if (m_state.PressSet1(keyboard::Set1FromKeyMessage(static_cast<std::uint32_t>(lParam)))) {
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void CKeyboardTestWnd::OnClose() {
    // The owner first, so that the system activates it when this window goes.
    if (m_hOwner != nullptr) EnableWindow(m_hOwner, TRUE);
    DestroyWindow(m_hWnd);
}

void CKeyboardTestWnd::OnPaint() {
    PAINTSTRUCT ps{};
    HDC hDC = BeginPaint(m_hWnd, &ps);
    RECT client{};
    GetClientRect(m_hWnd, &client);
    // Drawn off screen and copied at once: a key lit while typing fast does not flicker.
    HDC hMem = CreateCompatibleDC(hDC);
    HBITMAP hBitmap = CreateCompatibleBitmap(hDC, client.right, client.bottom);
    if (hMem != nullptr && hBitmap != nullptr) {
        HGDIOBJ hOld = SelectObject(hMem, hBitmap);
        Draw(hMem, client);
        BitBlt(hDC, 0, 0, client.right, client.bottom, hMem, 0, 0, SRCCOPY);
        SelectObject(hMem, hOld);
    } else {
        Draw(hDC, client);
    }
    if (hBitmap != nullptr) DeleteObject(hBitmap);
    if (hMem != nullptr) DeleteDC(hMem);
    EndPaint(m_hWnd, &ps);
}

void CKeyboardTestWnd::Draw(HDC hDC, const RECT& client) const {
    FillRect(hDC, &client, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ hOldFont = SelectObject(hDC, m_hFont);
    SetBkMode(hDC, TRANSPARENT);
    SetTextColor(hDC, GetSysColor(COLOR_BTNTEXT));
    RECT r = m_rcHint;
    DrawTextW(hDC, win32::Utf8ToWide(keyboard::kHint).c_str(), -1, &r,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    r = m_rcCount;
    DrawTextW(hDC, win32::Utf8ToWide(text::GbkToUtf8(m_state.CountText())).c_str(), -1, &r,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    for (std::size_t i = 0; i < keyboard::kLaptopKeys.size(); ++i) {
        const keyboard::Key& key = keyboard::kLaptopKeys[i];
        RECT k = KeyRect(i);
        HBRUSH hFill = GetSysColorBrush(COLOR_WINDOW);
        COLORREF label = GetSysColor(COLOR_WINDOWTEXT);
        if (!keyboard::Countable(key)) {
            hFill = m_hSwallowedBrush;
            label = GetSysColor(COLOR_GRAYTEXT);
        } else if (m_state.Lit(i)) {
            hFill = m_hLitBrush;
            label = RGB(255, 255, 255);
        }
        FillRect(hDC, &k, hFill);
        FrameRect(hDC, &k, GetSysColorBrush(COLOR_BTNSHADOW));
        SetTextColor(hDC, label);
        DrawTextW(hDC, win32::Utf8ToWide(key.label).c_str(), -1, &k,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(hDC, hOldFont);
}
