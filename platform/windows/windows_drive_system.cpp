#include "platform/windows/windows_drive_system.h"

namespace platform {

std::string CWindowsDriveSystem::DrivePath(std::uint8_t number) {
    return "\\\\.\\PhysicalDrive" + std::to_string(number);
}

std::unique_ptr<IDrive> CWindowsDriveSystem::OpenDrive(std::uint8_t number) {
    if (number >= kDriveNumbers) return nullptr;
    if (number == 0) return OpenFirstInternalDrive();
    std::unique_ptr<IDeviceIo> io = m_fnOpen(DrivePath(number));
    if (!io) return nullptr;
    const auto descriptor = AskDeviceDescriptor(*io);
    return MakeDeviceIoDrive(std::move(io), number, descriptor);
}

std::unique_ptr<IDrive> CWindowsDriveSystem::OpenFirstInternalDrive() {
    // PhysicalDrive0 stays open while the others are asked, in case none of them qualifies.
    std::unique_ptr<IDeviceIo> first;
    std::optional<DeviceDescriptorFacts> firstDescriptor;
    for (unsigned n = 0; n < kDriveNumbers; ++n) {
        const auto number = static_cast<std::uint8_t>(n);
        std::unique_ptr<IDeviceIo> io = m_fnOpen(DrivePath(number));
        if (!io) continue;
        auto descriptor = AskDeviceDescriptor(*io);
        if (descriptor && IsInternalDrive(*descriptor)) {
            return MakeDeviceIoDrive(std::move(io), number, descriptor);
        }
        if (n == 0) {
            first = std::move(io);
            firstDescriptor = std::move(descriptor);
        }
    }
    if (!first) return nullptr;
    return MakeDeviceIoDrive(std::move(first), 0, firstDescriptor);
}

}  // namespace platform
