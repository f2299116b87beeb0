// The disk driver's SMART pass-through (SMART_GET_VERSION, SMART_SEND_DRIVE_COMMAND,
// SMART_RCV_DRIVE_DATA): requests as bytes and the judgement of what came back. Pure
// functions over byte spans, so they build and are tested on every system;
// windows_drive_abi_check_win32.cpp pins each size and offset below to <winioctl.h>.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/drive_system.h"

namespace platform {

inline constexpr std::uint32_t kIoctlSmartGetVersion = 0x00074080;
inline constexpr std::uint32_t kIoctlSmartSendDriveCommand = 0x0007C084;
inline constexpr std::uint32_t kIoctlSmartRcvDriveData = 0x0007C088;

// GETVERSIONINPARAMS: the version record of drive_system.h, byte for byte.
inline constexpr std::size_t kGetVersionInParamsBytes = 24;

// IDEREGS: features, sector count, sector number, cylinder low, cylinder high, drive/head,
// command, reserved; one byte each.
inline constexpr std::size_t kIdeRegsBytes = 8;

// SENDCMDINPARAMS (packed): cBufferSize, irDriveRegs, bDriveNumber, 3 + 16 reserved bytes,
// then the (unused) one-byte bBuffer.
inline constexpr std::size_t kSendCmdInBufferSizeOffset = 0;
inline constexpr std::size_t kSendCmdInRegsOffset = 4;
inline constexpr std::size_t kSendCmdInDriveNumberOffset = 12;
inline constexpr std::size_t kSendCmdInBufferOffset = 32;
inline constexpr std::size_t kSendCmdInParamsBytes = 33;

// SENDCMDOUTPARAMS (packed): cBufferSize, DRIVERSTATUS (bDriverError, bIDEError, 10
// reserved bytes), then the data.
inline constexpr std::size_t kSendCmdOutBufferSizeOffset = 0;
inline constexpr std::size_t kSendCmdOutDriverStatusOffset = 4;
inline constexpr std::size_t kDriverStatusBytes = 12;
inline constexpr std::size_t kDriverStatusDriverErrorOffset = 0;
inline constexpr std::size_t kDriverStatusIdeErrorOffset = 1;
inline constexpr std::size_t kSendCmdOutBufferOffset = 16;
inline constexpr std::size_t kSendCmdOutParamsBytes = 17;

// The output buffers the driver is handed: SENDCMDOUTPARAMS alone for a command that moves
// no data, and with room for one sector for IDENTIFY DEVICE and SMART READ DATA. (528 is
// the 16-byte head and 512 data bytes; READ DATA is given three bytes more, which the
// driver leaves alone.)
inline constexpr std::size_t kSmartNonDataReplyBytes = kSendCmdOutParamsBytes;
inline constexpr std::size_t kSmartIdentifyReplyBytes = 528;
inline constexpr std::size_t kSmartReadDataReplyBytes = 531;

using SendCmdInParams = std::array<std::uint8_t, kSendCmdInParamsBytes>;

enum class SmartTransfer : std::uint8_t {
    kNonData,  // SMART_SEND_DRIVE_COMMAND
    kDataIn,   // SMART_RCV_DRIVE_DATA, one 512-byte sector
};

// The only commands this program lets through: SMART ENABLE OPERATIONS (no data), IDENTIFY
// DEVICE and SMART READ DATA (one sector in). Anything else could write to or act on
// someone's drive.
bool IsPermittedSmartCommand(const AtaRegisters& regs, SmartTransfer transfer);

// The request for `regs` to drive `driveNumber`, asking for `bufferSize` data bytes (0 for
// a command that moves no data, 512 for one sector). Every other byte is zero.
SendCmdInParams BuildSendCmdInParams(const AtaRegisters& regs, std::uint8_t driveNumber,
                                     std::uint32_t bufferSize);

// The output buffer to hand the driver for a data-in command: 528 bytes for IDENTIFY
// DEVICE, 531 for SMART READ DATA.
std::size_t SmartDataReplyBytes(const AtaRegisters& regs);

// Copies the SMART_GET_VERSION reply (the bytes the driver returned) into `out`. False, with
// `out` zeroed, unless the whole 24-byte record came.
bool ReadSmartVersionReply(std::span<const std::uint8_t> reply, SmartVersion out);

// The DRIVERSTATUS of a reply: nullopt when the reply is too short to hold its head.
struct SmartDriverStatus {
    std::uint8_t driverError = 0;  // SMART_NO_ERROR (0), SMART_IDE_ERROR (1), ...
    std::uint8_t ideError = 0;     // the drive's ERROR register
};
std::optional<SmartDriverStatus> ReadSmartDriverStatus(std::span<const std::uint8_t> reply);

// True when the reply to a command that moves no data holds its whole 16-byte head and
// neither the driver nor the drive reported an error.
bool JudgeSmartNonDataReply(std::span<const std::uint8_t> reply);

// The sector of a data reply: only when the reply holds the head and 512 data bytes, the
// driver says it delivered at least 512 (cBufferSize), and neither the driver nor the drive
// reported an error. cBufferSize is the transfer length the driver set up, not a count of
// the bytes that came: the in-box AHCI miniport reports the request's own length, which the
// disk class driver makes 513 for SMART READ DATA.
std::optional<std::span<const std::uint8_t, kAtaSectorBytes>> SmartSectorFromReply(
    std::span<const std::uint8_t> reply);

}  // namespace platform
