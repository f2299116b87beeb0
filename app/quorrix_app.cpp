#include "app/quorrix_app.h"

#include <QPointer>
#include <filesystem>
#include <thread>

#include "app/message_box.h"
#include "app/quorrix_dlg.h"
#include "platform/battery_system.h"
#include "platform/drive_system.h"
#include "platform/process_runner.h"
#include "platform/smbios_source.h"
#include "sysinfo/command_capture.h"

namespace {

// The summary program lives beside this one; it is run by its full path, so the PATH of
// whoever started the window (root's, under pkexec) does not matter.
std::string SummaryCommand() {
    constexpr const char* kSummaryProgram = "quorrix-systeminfo";
    const auto self = platform::RunningExecutablePath();
    const std::filesystem::path dir =
        self ? std::filesystem::path(*self).parent_path() : std::filesystem::current_path();
    return sysinfo::ShellQuote((dir / kSummaryProgram).string());
}

}  // namespace

CQuorrixApp::CQuorrixApp(int& argc, char** argv) : QApplication(argc, argv) {}

bool CQuorrixApp::InitInstance() {
    platform::CSysfsSmbiosSource smbiosSource;
    platform::CLinuxDriveSystem drives;
    platform::CSysfsBatterySystem batteries;
    platform::CLinuxProcessRunner processRunner;
    const DialogSeams seams{
        smbiosSource,
        drives,
        batteries,
        processRunner,
        [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); },
        SummaryCommand()};

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
