// The real sources of a Linux machine: sysfs for the firmware tables and the batteries,
// SG_IO and the NVMe admin queue for the drives, /bin/sh for commands.
#include "platform/system_sources.h"

#include <unistd.h>

#include <filesystem>

#include "platform/linux/linux_drive_system.h"
#include "platform/linux/process_runner.h"
#include "platform/sysfs/dmi_folder_source.h"
#include "platform/sysfs/power_supply_folder.h"

namespace platform {
namespace {
constexpr const char* kDmiTablesDir = "/sys/firmware/dmi/tables";
// The summary program, installed beside the window.
constexpr const char* kSummaryProgram = "quorrix-systeminfo";
}  // namespace

std::unique_ptr<ISmbiosSource> MakeSystemSmbiosSource() {
    return std::make_unique<CDmiFolderSmbiosSource>(kDmiTablesDir);
}

std::unique_ptr<IDriveSystem> MakeSystemDriveSystem() {
    return std::make_unique<CLinuxDriveSystem>();
}

std::unique_ptr<IBatterySystem> MakeSystemBatterySystem() {
    return std::make_unique<CPowerSupplyFolderSystem>(CPowerSupplyFolderSystem::kDefaultRoot);
}

std::unique_ptr<IProcessRunner> MakeSystemProcessRunner() {
    return std::make_unique<CLinuxProcessRunner>();
}

std::optional<std::string> LiveDmiFolder() {
    return kDmiTablesDir;
}

std::optional<std::string> LivePowerSupplyFolder() {
    return CPowerSupplyFolderSystem::kDefaultRoot;
}

std::string SummaryCommandLine() {
    // Run by its full path, so the PATH of whoever started the window does not matter.
    const auto self = RunningExecutablePath();
    const std::filesystem::path dir =
        self ? std::filesystem::path(*self).parent_path() : std::filesystem::current_path();
    return ShellQuote((dir / kSummaryProgram).string());
}

// Shared objects are found by the dynamic linker's own paths, never the current folder.
void LoadDllsFromSystemFolderOnly() {}

std::string MissingRightsHint(PrivilegedRead read) {
    if (::geteuid() == 0) return "";
    return read == PrivilegedRead::kFirmwareTables ? "reading the firmware tables needs root"
                                                   : "reading the drive needs root";
}

}  // namespace platform
