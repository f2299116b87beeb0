// The real sources of a Windows machine: WMI for the firmware tables, DeviceIoControl on the
// physical drive and the battery devices, cmd for commands.
#include "platform/system_sources.h"

#include <windows.h>
// IsUserAnAdmin
#include <shlobj.h>

#include "platform/windows/process_runner_win.h"
#include "platform/windows/windows_battery_system.h"
#include "platform/windows/windows_drive_system.h"
#include "platform/windows/wmi_smbios_source.h"

namespace platform {

std::unique_ptr<ISmbiosSource> MakeSystemSmbiosSource() {
    return MakeWmiSmbiosSource();
}

std::unique_ptr<IDriveSystem> MakeSystemDriveSystem() {
    return MakeWindowsDriveSystem();
}

std::unique_ptr<IBatterySystem> MakeSystemBatterySystem() {
    return MakeWindowsBatterySystem();
}

std::unique_ptr<IProcessRunner> MakeSystemProcessRunner() {
    return MakeWindowsProcessRunner();
}

std::optional<std::string> LiveDmiFolder() {
    return std::nullopt;
}

std::optional<std::string> LivePowerSupplyFolder() {
    return std::nullopt;
}

// The system's own summary command, run through "cmd /C" by the process runner.
std::string SummaryCommandLine() {
    return "systeminfo";
}

std::string MissingRightsHint(PrivilegedRead read) {
    // WMI gives the firmware tables to every user; the physical drive opens for reading and
    // writing only to an elevated administrator.
    if (read == PrivilegedRead::kFirmwareTables || IsUserAnAdmin()) return "";
    return "reading the drive needs administrator rights (run as administrator)";
}

}  // namespace platform
