// The real sources of a Windows machine: WMI for the firmware tables (the firmware table call
// when WMI has none), DeviceIoControl on the physical drive and the battery devices, cmd for
// commands.
#include "platform/system_sources.h"

#include <windows.h>
// IsUserAnAdmin
#include <shlobj.h>

#include <array>

#include "platform/windows/process_runner_win32.h"
#include "platform/windows/rsmb_table.h"
#include "platform/windows/smbios_fallback.h"
#include "platform/windows/windows_battery_system.h"
#include "platform/windows/windows_drive_system.h"
#include "platform/windows/wmi_smbios_source_win32.h"

namespace platform {

std::unique_ptr<ISmbiosSource> MakeSystemSmbiosSource() {
    return MakeFallbackSmbiosSource(MakeWmiSmbiosSource(),
                                    MakeRsmbSmbiosSource(MakeWin32FirmwareTables()));
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

// The system's own summary command, run through "cmd /C" by the process runner, named by its
// full path in the system folder: given a bare name, cmd looks in its current folder first and
// tries every PATHEXT extension, so a systeminfo.bat or .com planted beside a downloaded
// quorrix.exe would run with its administrator rights. Quoted, which cmd takes off again.
// "" when the system folder cannot be had: then nothing is run.
std::string SummaryCommandLine() {
    std::array<char, MAX_PATH> folder{};
    const UINT n = GetSystemDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
    if (n == 0 || n >= folder.size()) return "";
    return "\"" + std::string(folder.data(), n) + "\\systeminfo.exe\"";
}

void LoadDllsFromSystemFolderOnly() {
    // SetDefaultDllDirectories is in Windows 8 and later, and in Windows 7 with KB2533623; it
    // is looked up, not imported, so that the program still starts on a system without it.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault =
        kernel == nullptr
            ? nullptr
            : reinterpret_cast<SetDefaultDllDirectoriesFn>(
                  reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // Without it, the current folder at least leaves the search.
    SetDllDirectoryW(L"");
}

std::string MissingRightsHint(PrivilegedRead read) {
    // WMI gives the firmware tables to every user; the physical drive opens for reading and
    // writing only to an elevated administrator.
    if (read == PrivilegedRead::kFirmwareTables || IsUserAnAdmin()) return "";
    return "reading the drive needs administrator rights (run as administrator)";
}

}  // namespace platform
