#include "win32/dialog_pump.h"

#include <algorithm>

namespace win32 {
namespace {

// Dispatches what is waiting. False on WM_QUIT, which is posted again for the outer loop.
bool DispatchWaiting() {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        // Tab, Enter and Esc work in whichever dialog of this thread has them.
        HWND hRoot = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (hRoot != nullptr && IsDialogMessageW(hRoot, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace

bool CDialogPump::PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    using Clock = std::chrono::steady_clock;
    const bool bounded = limit != sysinfo::kNoLimit;
    const Clock::time_point end = bounded ? Clock::now() + limit : Clock::time_point::max();
    while (!done()) {
        if (!IsWindow(m_hDlg)) return false;
        DWORD wait = INFINITE;
        if (bounded) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
            if (left.count() <= 0) return true;
            wait = static_cast<DWORD>(std::min<long long>(left.count(), INFINITE - 1));
        }
        // Wakes for any message of this thread, those that arrived before the call included.
        MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (!DispatchWaiting()) return false;
    }
    return true;
}

void CDialogPump::Wake() {
    PostMessageW(m_hDlg, WM_NULL, 0, 0);
}

}  // namespace win32
