#include "platform/windows/windows_drive_system.h"

namespace platform {

std::string CWindowsDriveSystem::DrivePath(std::uint8_t number) {
    return "\\\\.\\PhysicalDrive" + std::to_string(number);
}

std::unique_ptr<IDrive> CWindowsDriveSystem::OpenDrive(std::uint8_t number) {
    if (number >= kDriveNumbers) return nullptr;
    std::unique_ptr<IDeviceIo> io = m_fnOpen(DrivePath(number));
    if (!io) return nullptr;
    return MakeDeviceIoDrive(std::move(io), number);
}

}  // namespace platform
