// ATA commands carried in SCSI ATA PASS-THROUGH (16) (SAT-3 12.2.2), and the judgement of
// what came back. Pure functions: the SG_IO wrapper only moves these bytes to the kernel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/drive_system.h"

namespace platform {

inline constexpr std::size_t kAtaPassThrough16Bytes = 16;
using AtaPassThroughCdb = std::array<std::uint8_t, kAtaPassThrough16Bytes>;

// SAT-3 table 161, the PROTOCOL field: the two transfers the SMART reader needs.
enum class AtaProtocol : std::uint8_t {
    kNonData = 3,
    kPioDataIn = 4,
};

// The CDB that sends `regs` as a 28-bit command. Non-data commands ask for the ATA
// registers back (CK_COND); PIO data-in commands read one 512-byte block.
AtaPassThroughCdb BuildAtaPassThrough16(const AtaRegisters& regs, AtaProtocol protocol);

// The only commands this program lets through: SMART ENABLE OPERATIONS (non-data),
// IDENTIFY DEVICE and SMART READ DATA (PIO data-in). Everything else would be a write or an
// action on someone's drive.
bool IsPermittedAtaCommand(const AtaRegisters& regs, AtaProtocol protocol);

// The version record for a drive that did (`ataCapable`) or did not prove to take ATA
// commands.
void FillSmartVersion(bool ataCapable, SmartVersion out);

// What the sense data says about the ATA command.
struct AtaSenseStatus {
    std::uint8_t senseKey = 0;
    std::uint8_t asc = 0;
    std::uint8_t ascq = 0;
    std::optional<std::uint8_t> ataError;   // ERROR register, when the sense carries it
    std::optional<std::uint8_t> ataStatus;  // STATUS register, when the sense carries it
};

// Decodes descriptor (72h/73h) or fixed (70h/71h) sense data; nullopt when `sense` is too
// short for its own format or of another format. Reads only inside `sense`.
std::optional<AtaSenseStatus> DecodeAtaSense(std::span<const std::uint8_t> sense);

// What SG_IO reported for one command.
struct SgIoReply {
    int ioctlErrno = 0;  // errno of a failed ioctl, 0 when the ioctl returned 0
    std::uint8_t scsiStatus = 0;
    std::uint16_t hostStatus = 0;
    std::uint16_t driverStatus = 0;
    int resid = 0;                        // bytes asked for but not transferred
    std::span<const std::uint8_t> sense;  // the sense bytes the kernel wrote
};

struct AtaOutcome {
    bool bOk = false;
    int nErrorCode = 0;  // errno when not ok
};

// Success only when the transport delivered the command, no byte of the expected data is
// missing, and the drive's own STATUS register (when the reply carries it) shows neither
// BSY, DF nor ERR. libata answers a command sent with CK_COND by CHECK CONDITION, RECOVERED
// ERROR, 00/1Dh "ATA pass through information available" and the registers: with STATUS
// 50h that is a success.
AtaOutcome JudgeAtaReply(const SgIoReply& reply);

}  // namespace platform
