// The physical drives of a Windows machine, \\.\PhysicalDrive0 to \\.\PhysicalDrive31.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/drive_system.h"
#include "platform/windows/windows_drive.h"

namespace platform {

// Opens the device at `path` for reading and writing (the SMART send needs both); nullptr
// when it cannot be opened.
using DeviceOpener = std::function<std::unique_ptr<IDeviceIo>(const std::string& path)>;

class CWindowsDriveSystem final : public IDriveSystem {
public:
    // The drive numbers this program reads: 0 to 31. A higher number opens nothing.
    static constexpr unsigned kDriveNumbers = 32;

    explicit CWindowsDriveSystem(DeviceOpener open) : m_fnOpen(std::move(open)) {}
    // Drive 0 is the first internal drive, as on Linux: the first of PhysicalDrive0 to
    // PhysicalDrive31 whose descriptor says it is neither on USB nor removable media, or
    // PhysicalDrive0 when none does (a drive that gives no descriptor is not taken for
    // internal). Any other number is PhysicalDrive<number>.
    std::unique_ptr<IDrive> OpenDrive(std::uint8_t number) override;

    // "\\.\PhysicalDrive<number>", the number in decimal.
    static std::string DrivePath(std::uint8_t number);

private:
    std::unique_ptr<IDrive> OpenFirstInternalDrive();

    DeviceOpener m_fnOpen;
};

// The drives of this machine, opened with CreateFileA and driven with DeviceIoControl.
// Opening needs an administrator. Windows builds only.
std::unique_ptr<IDriveSystem> MakeWindowsDriveSystem();

}  // namespace platform
