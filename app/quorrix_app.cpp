#include "app/quorrix_app.h"

#include <QPointer>
#include <cstdio>

#include "app/message_box.h"
#include "app/quorrix_dlg.h"
#include "platform/panel_edid.h"
#include "platform/system_sources.h"

CQuorrixApp::CQuorrixApp(int& argc, char** argv) : QApplication(argc, argv) {}

bool CQuorrixApp::InitInstance(platform::IPrivilegedRead& privileged) {
    const platform::PrivilegedSources read = privileged.Finish();
    if (!read.strWhy.empty()) std::fprintf(stderr, "quorrix: %s\n", read.strWhy.c_str());
    const auto& smbiosSource = read.smbios;
    const auto& drives = read.drives;
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

    // A box shown while the dialog gathers has no owner yet (no window exists); the
    // dialog's own boxes are owned by it.
    QPointer<QWidget> pOwner;
    auto notify = [&pOwner](std::string_view text, std::string_view caption) {
        app::ShowMessageBox(pOwner.data(), text, caption);
    };
    CQuorrixDlg dlg(seams, notify);
    pOwner = &dlg;
    dlg.exec();
    return false;
}
