// One physical drive on Windows behind the drive seam: the drive logic over a single
// DeviceIoControl-shaped call, so it runs (and is tested) anywhere with recorded replies.
// Only windows_drive_handle.cpp makes the real call.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/drive_system.h"

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

// Drive `number` behind `io`. Asks the storage driver once, now, whether the drive sits on
// an NVMe bus; a drive that does not say is taken for an ATA drive. ATA drives are read
// through the SMART pass-through, NVMe drives through the protocol-specific queries.
std::unique_ptr<IDrive> MakeDeviceIoDrive(std::unique_ptr<IDeviceIo> io, std::uint8_t number);

}  // namespace platform
