// The real data sources of the system the program runs on. Each system's folder implements
// these once (linux/system_sources.cpp, windows/system_sources_win32.cpp); callers never name a
// system.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/battery_system.h"
#include "platform/drive_system.h"
#include "platform/process_runner.h"
#include "platform/smbios_source.h"

namespace platform {

// The firmware's SMBIOS table as the system publishes it.
std::unique_ptr<ISmbiosSource> MakeSystemSmbiosSource();
// The physical drives, numbered as the system numbers them.
std::unique_ptr<IDriveSystem> MakeSystemDriveSystem();
// The batteries, as the system lists them.
std::unique_ptr<IBatterySystem> MakeSystemBatterySystem();
// Runs command lines through the system's command interpreter.
std::unique_ptr<IProcessRunner> MakeSystemProcessRunner();

// Where this system publishes its firmware tables and its batteries as folders of the shapes
// the saved-data readers take (a copy of which is what --save writes); nullopt where the
// system has no such folders and answers through its own interfaces only.
std::optional<std::string> LiveDmiFolder();
std::optional<std::string> LivePowerSupplyFolder();

// The command line that the other-information page runs through that interpreter.
std::string SummaryCommandLine();

// Called as a program's first statement. On Windows, every DLL that the process (or a system
// component inside it) loads later by bare name then comes from the system folder only, never
// from the program's folder or the current folder, where a planted DLL would run with the
// program's rights. Nothing to do on other systems.
void LoadDllsFromSystemFolderOnly();

// The absolute path of the program file this process runs (not argv[0], which the caller
// chooses), or nullopt when the system cannot say.
[[nodiscard]] std::optional<std::string> RunningExecutablePath();

// What an ordinary user may lack for a read: a hint line for them ("reading the firmware
// tables needs root"), or "" when this process has the rights or the read needs none.
enum class PrivilegedRead { kFirmwareTables, kDrives };
std::string MissingRightsHint(PrivilegedRead read);

}  // namespace platform
