#include "win32/window_test_support.h"

#include <array>
#include <cstdint>

#include <gtest/gtest.h>

namespace wintest {

namespace {

std::function<bool()> g_loopAction;
UINT_PTR g_nTimer = 0;
ULONGLONG g_ullDeadline = 0;

void CALLBACK LoopTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_loopAction) return;
    // The action may run a modal loop of its own (it closes a box, for one): it is taken
    // out first, so the timer does not call it again meanwhile.
    auto action = std::move(g_loopAction);
    g_loopAction = nullptr;
    if (!action()) {
        if (GetTickCount64() < g_ullDeadline) {
            g_loopAction = std::move(action);
            return;
        }
        // Given up: whatever modal loop waits for it (a menu, a box) is left with Esc.
        ADD_FAILURE() << "a window the test waited for did not come";
        PressKey(VK_ESCAPE);
        PressKey(VK_ESCAPE);
    }
    if (!g_loopAction) {
        KillTimer(nullptr, g_nTimer);
        g_nTimer = 0;
    }
}

void Send(INPUT input) {
    SendInput(1, &input, sizeof(INPUT));
}

}  // namespace

void Pump(std::chrono::milliseconds duration, HWND hDialog) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(duration.count());
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (hDialog != nullptr && IsWindow(hDialog) && IsDialogMessageW(hDialog, &msg)) {
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount64() < end);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout, HWND hDialog) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!done()) {
        if (GetTickCount64() >= end) return false;
        Pump(std::chrono::milliseconds(10), hDialog);
    }
    return true;
}

void OnceInLoop(std::function<bool()> action) {
    g_loopAction = std::move(action);
    g_ullDeadline = GetTickCount64() + 5000;
    if (g_nTimer == 0) g_nTimer = SetTimer(nullptr, 0, 50, &LoopTimer);
}

void CancelLoopAction() {
    g_loopAction = nullptr;
    if (g_nTimer != 0) KillTimer(nullptr, g_nTimer);
    g_nTimer = 0;
}

std::wstring TextOf(HWND hWnd) {
    const int n = GetWindowTextLengthW(hWnd);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(hWnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

std::wstring ClassOf(HWND hWnd) {
    std::array<wchar_t, 256> name{};
    const int n = GetClassNameW(hWnd, name.data(), static_cast<int>(name.size()));
    return std::wstring(name.data(), static_cast<std::size_t>(n > 0 ? n : 0));
}

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            if (IsWindowVisible(hWnd))
                reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindThreadWindow(const std::wstring& caption) {
    for (HWND hWnd : ThreadWindows()) {
        if (TextOf(hWnd) == caption) return hWnd;
    }
    return nullptr;
}

namespace {

// A mouse event at an absolute screen point. Every event carries the point, so a button
// event never lands where the pointer was before the move.
INPUT MouseAt(POINT screen, DWORD flags) {
    // Absolute coordinates run from 0 to 65535 over the primary screen.
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + cx / 2) / cx);
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + cy / 2) / cy);
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void SendClicks(POINT screen, int count, bool bRight) {
    std::vector<INPUT> inputs{MouseAt(screen, 0)};
    for (int i = 0; i < count; ++i) {
        inputs.push_back(MouseAt(screen, bRight ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN));
        inputs.push_back(MouseAt(screen, bRight ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void MoveMouseTo(POINT screen) {
    INPUT input = MouseAt(screen, 0);
    SendInput(1, &input, sizeof(INPUT));
}

void Click(POINT screen, bool bRight) {
    SendClicks(screen, 1, bRight);
}

void DoubleClick(POINT screen) {
    SendClicks(screen, 2, false);
}

void PressKey(WORD vk) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    Send(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    Send(input);
}

void Activate(HWND hWnd) {
    SetForegroundWindow(hWnd);
    SetActiveWindow(hWnd);
    Pump(std::chrono::milliseconds(50));
}

POINT ScreenCentre(HWND hWnd, const RECT& client) {
    POINT p{(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ClientToScreen(hWnd, &p);
    return p;
}

Pixels Pixels::Crop(int x, int y, int w, int h) const {
    Pixels part;
    part.width = w;
    part.height = h;
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) part.values.push_back(At(col, row));
    }
    return part;
}

namespace {

Pixels CaptureFrom(HDC hSource, int x, int y, int width, int height) {
    Pixels pixels;
    if (width <= 0 || height <= 0) return pixels;
    HDC hMem = CreateCompatibleDC(hSource);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP hBitmap = CreateDIBSection(hMem, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    BitBlt(hMem, 0, 0, width, height, hSource, x, y, SRCCOPY);
    GdiFlush();
    pixels.width = width;
    pixels.height = height;
    const auto* pRow = static_cast<const std::uint8_t*>(pBits);
    for (int i = 0; i < width * height; ++i) {
        const std::uint8_t* p = pRow + 4 * i;  // blue, green, red, unused
        pixels.values.push_back(RGB(p[2], p[1], p[0]));
    }
    SelectObject(hMem, hOld);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    return pixels;
}

}  // namespace

Pixels CaptureScreen(const RECT& screen) {
    HDC hScreen = GetDC(nullptr);
    Pixels pixels = CaptureFrom(hScreen, screen.left, screen.top, screen.right - screen.left,
                                screen.bottom - screen.top);
    ReleaseDC(nullptr, hScreen);
    return pixels;
}

Pixels CaptureClient(HWND hWnd, const RECT& client) {
    HDC hDC = GetDC(hWnd);
    Pixels pixels = CaptureFrom(hDC, client.left, client.top, client.right - client.left,
                                client.bottom - client.top);
    ReleaseDC(hWnd, hDC);
    return pixels;
}

}  // namespace wintest
