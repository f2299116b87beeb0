#include "platform/linux/sg_io_ata.h"

#include <algorithm>
#include <cerrno>

#include "platform/ata_commands.h"

namespace platform {
namespace {

constexpr std::uint8_t kOpAtaPassThrough16 = 0x85;
constexpr std::uint8_t kCkCond = 0x20;        // byte 2 bit 5: return the registers
constexpr std::uint8_t kTDirIn = 0x08;        // byte 2 bit 3: device to host
constexpr std::uint8_t kBytBlok = 0x04;       // byte 2 bit 2: length counted in blocks
constexpr std::uint8_t kTLengthCount = 0x02;  // byte 2 bits 1:0: length is in COUNT

constexpr std::uint8_t kStatusBsy = 0x80;
constexpr std::uint8_t kStatusDf = 0x20;
constexpr std::uint8_t kStatusErr = 0x01;

constexpr std::uint8_t kScsiGood = 0x00;
constexpr std::uint8_t kScsiCheckCondition = 0x02;
constexpr std::uint8_t kSenseNoSense = 0x0;
constexpr std::uint8_t kSenseRecoveredError = 0x1;
constexpr std::uint16_t kDriverStatusMask = 0x07;  // driver byte without DRIVER_SENSE (08h)

constexpr std::uint8_t kAtaStatusReturnDescriptor = 0x09;  // SAT-3 12.2.2.6
constexpr std::size_t kAtaStatusReturnLength = 14;

}  // namespace

AtaPassThroughCdb BuildAtaPassThrough16(const AtaRegisters& regs, AtaProtocol protocol) {
    AtaPassThroughCdb cdb{};
    const auto proto = static_cast<std::uint8_t>(protocol);
    cdb[0] = kOpAtaPassThrough16;
    cdb[1] = static_cast<std::uint8_t>(proto << 1);  // MULTIPLE_COUNT 0, EXTEND 0 (28-bit)
    cdb[2] = protocol == AtaProtocol::kNonData
                 ? kCkCond
                 : static_cast<std::uint8_t>(kTDirIn | kBytBlok | kTLengthCount);
    cdb[3] = 0;                 // FEATURES 15:8
    cdb[4] = regs.features;     // FEATURES 7:0
    cdb[5] = 0;                 // COUNT 15:8
    cdb[6] = regs.sectorCount;  // COUNT 7:0
    cdb[7] = 0;                 // LBA 31:24
    cdb[8] = regs.lbaLow;       // LBA 7:0
    cdb[9] = 0;                 // LBA 39:32
    cdb[10] = regs.lbaMid;      // LBA 15:8
    cdb[11] = 0;                // LBA 47:40
    cdb[12] = regs.lbaHigh;     // LBA 23:16
    cdb[13] = regs.device;      // DEVICE
    cdb[14] = regs.command;     // COMMAND
    cdb[15] = 0;                // CONTROL
    return cdb;
}

bool IsPermittedAtaCommand(const AtaRegisters& regs, AtaProtocol protocol) {
    return IsPermittedAtaCommand(
        regs, protocol == AtaProtocol::kNonData ? AtaTransfer::kNonData : AtaTransfer::kDataIn);
}

void FillSmartVersion(bool ataCapable, SmartVersion out) {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    out[0] = 1;  // version
    out[1] = 1;  // revision
    if (!ataCapable) return;
    out[3] = 0x01;  // IDE device map: the drive answers as a master
    const std::uint32_t caps = kCapAtaIdCmd | kCapSmartCmd;
    for (std::size_t i = 0; i < 4; ++i) {
        out[kSmartVersionCapsOffset + i] = static_cast<std::uint8_t>(caps >> (8 * i));
    }
}

std::optional<AtaSenseStatus> DecodeAtaSense(std::span<const std::uint8_t> sense) {
    if (sense.empty()) return std::nullopt;
    const std::uint8_t responseCode = sense[0] & 0x7F;
    AtaSenseStatus result;
    if (responseCode == 0x72 || responseCode == 0x73) {
        // SPC-4 4.5.2: key, ASC, ASCQ in bytes 1-3, descriptors from byte 8.
        if (sense.size() < 8) return std::nullopt;
        result.senseKey = sense[1] & 0x0F;
        result.asc = sense[2];
        result.ascq = sense[3];
        const std::size_t end = std::min<std::size_t>(sense.size(), 8 + std::size_t{sense[7]});
        std::size_t pos = 8;
        while (end - pos >= 2) {
            const std::size_t length = 2 + std::size_t{sense[pos + 1]};
            if (end - pos < length) break;
            if (sense[pos] == kAtaStatusReturnDescriptor && length >= kAtaStatusReturnLength) {
                result.ataError = sense[pos + 3];
                result.ataStatus = sense[pos + 13];
                break;
            }
            pos += length;
        }
        return result;
    }
    if (responseCode == 0x70 || responseCode == 0x71) {
        // SPC-4 4.5.3: key in byte 2, ASC/ASCQ in 12-13. With 00/1Dh, SAT-3 puts ERROR and
        // STATUS into the first two INFORMATION bytes (3 and 4).
        if (sense.size() < 14) return std::nullopt;
        result.senseKey = sense[2] & 0x0F;
        result.asc = sense[12];
        result.ascq = sense[13];
        if (result.asc == 0x00 && result.ascq == 0x1D) {
            result.ataError = sense[3];
            result.ataStatus = sense[4];
        }
        return result;
    }
    return std::nullopt;
}

AtaOutcome JudgeAtaReply(const SgIoReply& reply) {
    const AtaOutcome failed{false, EIO};
    if (reply.ioctlErrno != 0) return {false, reply.ioctlErrno};
    if (reply.hostStatus != 0 || (reply.driverStatus & kDriverStatusMask) != 0) return failed;

    const auto sense = DecodeAtaSense(reply.sense);
    if (reply.scsiStatus == kScsiCheckCondition) {
        // Without the drive's registers a CHECK CONDITION tells of nothing but a failure.
        if (!sense || !sense->ataStatus) return failed;
        if (sense->senseKey != kSenseNoSense && sense->senseKey != kSenseRecoveredError) {
            return failed;
        }
    } else if (reply.scsiStatus != kScsiGood) {
        return failed;
    }
    if (sense && sense->ataStatus && (*sense->ataStatus & (kStatusBsy | kStatusDf | kStatusErr))) {
        return failed;
    }
    if (reply.resid != 0) return failed;  // a short sector is no sector
    return {true, 0};
}

}  // namespace platform
