// One physical drive on Windows behind the drive seam: the drive logic over a single
// DeviceIoControl-shaped call, so it runs (and is tested) anywhere with recorded replies.
// Only windows_drive_handle_win32.cpp makes the real call.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/drive_system.h"
#include "platform/windows/storage_query.h"

namespace platform {

// System error codes this layer reports itself (winerror.h).
inline constexpr int kErrorAccessDenied = 5;   // a command this program does not send
inline constexpr int kErrorInvalidData = 13;   // a reply short of its own head, or lying
inline constexpr int kErrorNotSupported = 50;  // an ATA command to an NVMe drive
inline constexpr int kErrorIoDevice = 1117;    // the driver or the drive reported an error

// An open device handle.
class IDeviceIo {
public:
    virtual ~IDeviceIo() = default;
    // DeviceIoControl with control code `code`, input `in` and output `out`, synchronous.
    // The byte count the system says it wrote into `out`, or nullopt when the call failed,
    // with the system error code (GetLastError) in `*lastError`.
    [[nodiscard]] virtual std::optional<std::uint32_t> Control(std::uint32_t code,
                                                               std::span<const std::uint8_t> in,
                                                               std::span<std::uint8_t> out,
                                                               std::uint32_t* lastError) = 0;
};

// What the storage driver says of the drive behind `io` (StorageDeviceProperty); nullopt
// when it does not answer or its answer does not reach BusType.
std::optional<DeviceDescriptorFacts> AskDeviceDescriptor(IDeviceIo& io);

// Drive `number` (the N of \\.\PhysicalDriveN) behind `io`, whose descriptor is
// `descriptor`. ATA drives are read through the SMART pass-through, NVMe drives through the
// protocol-specific queries. The kind is settled now, from the bus:
// - NVMe: an NVMe drive;
// - RAID, SCSI or unknown (an NVMe drive behind a RAID or vendor driver looks like this): an
//   ATA drive when the SMART pass-through gives an identity (version with SMART, SMART
//   ENABLE OPERATIONS, IDENTIFY DEVICE), else an NVMe drive when the protocol-specific
//   Identify Controller answers, else an ATA drive that answers nothing, as before;
// - any other bus, or no descriptor: an ATA drive.
std::unique_ptr<IDrive> MakeDeviceIoDrive(std::unique_ptr<IDeviceIo> io, std::uint8_t number,
                                          const std::optional<DeviceDescriptorFacts>& descriptor);

}  // namespace platform
