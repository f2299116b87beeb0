// Helpers for the window tests: running the message loop for a while, reading controls,
// input as the user gives it (SendInput), and the pixels a window shows.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace wintest {

// Dispatches this thread's messages for `duration`, passing keys meant for `hDialog` (if
// any) through the dialog's key handling, as the modal loop of a dialog does.
void Pump(std::chrono::milliseconds duration, HWND hDialog = nullptr);
// Pumps until `done` holds or `timeout` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5), HWND hDialog = nullptr);

// Runs `action` once from a timer of this thread, so from inside whatever message loop runs
// (a modal dialog's, a message box's). `action` returns false to be called again later; after
// 5 s of that the test fails and two Esc presses leave whatever loop is waiting.
void OnceInLoop(std::function<bool()> action);
// Drops a pending OnceInLoop action.
void CancelLoopAction();

std::wstring TextOf(HWND hWnd);
std::wstring ClassOf(HWND hWnd);
// The visible top-level windows of this thread.
std::vector<HWND> ThreadWindows();
// The visible top-level window of this thread with this caption, or null.
HWND FindThreadWindow(const std::wstring& caption);

// Input as the user gives it, through the system's input queue.
void MoveMouseTo(POINT screen);
void Click(POINT screen, bool bRight = false);
void DoubleClick(POINT screen);
void PressKey(WORD vk);
// Makes `hWnd` the foreground window and gives it the focus, so keys reach it.
void Activate(HWND hWnd);

// The centre of a window-client rectangle, in screen coordinates.
POINT ScreenCentre(HWND hWnd, const RECT& client);

// What the screen shows of a screen rectangle, one COLORREF-ordered pixel (0x00BBGGRR) a
// value, row by row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> values;
    COLORREF At(int x, int y) const { return values[static_cast<std::size_t>(y * width + x)]; }
    Pixels Crop(int x, int y, int w, int h) const;
    bool operator==(const Pixels&) const = default;
};
Pixels CaptureScreen(const RECT& screen);
// What `hWnd` shows of its client rectangle `client`.
Pixels CaptureClient(HWND hWnd, const RECT& client);

}  // namespace wintest
