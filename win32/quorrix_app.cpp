#include "win32/quorrix_app.h"

#include <windows.h>

#include <commctrl.h>

#include "platform/panel_edid.h"
#include "platform/system_sources.h"
#include "win32/message_box.h"
#include "win32/quorrix_dlg.h"

bool CQuorrixApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const auto smbiosSource = platform::MakeSystemSmbiosSource();
    const auto drives = platform::MakeSystemDriveSystem();
    const auto batteries = platform::MakeSystemBatterySystem();
    const auto panelEdid = platform::MakeSystemPanelEdidSource();
    const auto processRunner = platform::MakeSystemProcessRunner();
    const DialogSeams seams{*smbiosSource,
                            *drives,
                            *batteries,
                            *panelEdid,
                            *processRunner,
                            {},
                            platform::SummaryCommandLine()};

    // A box shown while the dialog gathers has no owner (no window exists yet); the
    // dialog's own boxes are owned by its window.
    const CQuorrixDlg* pOwner = nullptr;
    auto notify = [&pOwner](std::string_view text, std::string_view caption) {
        win32::ShowMessageBox(pOwner ? pOwner->GetSafeHwnd() : nullptr, text, caption);
    };
    CQuorrixDlg dlg(seams, notify);
    pOwner = &dlg;
    dlg.DoModal(nullptr);
    return false;
}
