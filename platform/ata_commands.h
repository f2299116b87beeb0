// The only ATA commands that ever reach a drive, with their registers as the SMART reader
// sends them (ACS-3 7.12 IDENTIFY DEVICE, 7.44.2 SMART ENABLE OPERATIONS, 7.44.6 SMART READ
// DATA), and the gate every system's drive layer puts in front of the drive.
#pragma once

#include <cstdint>

#include "platform/drive_system.h"

namespace platform {

inline constexpr std::uint8_t kAtaIdentifyDevice = 0xEC;
inline constexpr std::uint8_t kAtaSmart = 0xB0;
inline constexpr std::uint8_t kSmartReadData = 0xD0;
inline constexpr std::uint8_t kSmartEnableOperations = 0xD8;
// The SMART signature in LBA mid / high that every SMART command carries.
inline constexpr std::uint8_t kSmartLbaMid = 0x4F;
inline constexpr std::uint8_t kSmartLbaHigh = 0xC2;
// Device register: the obsolete bits 7 and 5 set, DEV 0, for every drive number.
inline constexpr std::uint8_t kAtaDevice = 0xA0;

inline constexpr AtaRegisters kSmartEnableRegs{
    kSmartEnableOperations, 1, 1, kSmartLbaMid, kSmartLbaHigh, kAtaDevice, kAtaSmart};
inline constexpr AtaRegisters kIdentifyDeviceRegs{
    0x00, 1, 1, 0x00, 0x00, kAtaDevice, kAtaIdentifyDevice};
inline constexpr AtaRegisters kSmartReadDataRegs{kSmartReadData, 1,          1,        kSmartLbaMid,
                                                 kSmartLbaHigh,  kAtaDevice, kAtaSmart};

// How a command moves data: none, or one 512-byte sector from the drive.
enum class AtaTransfer : std::uint8_t { kNonData, kDataIn };

// True for SMART command `feature`, with its signature.
constexpr bool IsSmartCommand(const AtaRegisters& regs, std::uint8_t feature) {
    return regs.command == kAtaSmart && regs.features == feature && regs.lbaMid == kSmartLbaMid &&
           regs.lbaHigh == kSmartLbaHigh;
}

// The gate: SMART ENABLE OPERATIONS without data, IDENTIFY DEVICE and SMART READ DATA with one
// sector in. Anything else could write to or act on someone's drive, and is refused.
constexpr bool IsPermittedAtaCommand(const AtaRegisters& regs, AtaTransfer transfer) {
    switch (transfer) {
        case AtaTransfer::kNonData:
            return IsSmartCommand(regs, kSmartEnableOperations);
        case AtaTransfer::kDataIn:
            return regs.command == kAtaIdentifyDevice || IsSmartCommand(regs, kSmartReadData);
    }
    return false;
}

}  // namespace platform
