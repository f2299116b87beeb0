// The message pump a dialog runs while it waits for a command's output: the dialog and the
// windows of this thread keep painting, moving and closing meanwhile.
#pragma once

#include <windows.h>

#include "sysinfo/command_capture_pump.h"

namespace win32 {

class CDialogPump final : public sysinfo::IMessagePump {
public:
    // `hDlg`: the dialog whose thread pumps; Wake posts to it.
    explicit CDialogPump(HWND hDlg) : m_hDlg(hDlg) {}

    // False once `hDlg` is destroyed or WM_QUIT arrives (posted again for the loop outside).
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override;
    void Wake() override;

private:
    HWND m_hDlg;
};

}  // namespace win32
