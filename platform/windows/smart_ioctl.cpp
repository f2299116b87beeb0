#include "platform/windows/smart_ioctl.h"

#include <algorithm>

#include "base/little_endian.h"
#include "platform/ata_commands.h"

namespace platform {

bool IsPermittedSmartCommand(const AtaRegisters& regs, SmartTransfer transfer) {
    return IsPermittedAtaCommand(
        regs, transfer == SmartTransfer::kNonData ? AtaTransfer::kNonData : AtaTransfer::kDataIn);
}

SendCmdInParams BuildSendCmdInParams(const AtaRegisters& regs, std::uint8_t driveNumber,
                                     std::uint32_t bufferSize) {
    SendCmdInParams in{};
    base::StoreLe32(in, kSendCmdInBufferSizeOffset, bufferSize);
    const std::array<std::uint8_t, kIdeRegsBytes> ideRegs = {
        regs.features, regs.sectorCount, regs.lbaLow,  regs.lbaMid,
        regs.lbaHigh,  regs.device,      regs.command, 0};
    std::copy(ideRegs.begin(), ideRegs.end(), in.begin() + kSendCmdInRegsOffset);
    in[kSendCmdInDriveNumberOffset] = driveNumber;
    return in;
}

std::size_t SmartDataReplyBytes(const AtaRegisters& regs) {
    return regs.command == kAtaIdentifyDevice ? kSmartIdentifyReplyBytes : kSmartReadDataReplyBytes;
}

bool ReadSmartVersionReply(std::span<const std::uint8_t> reply, SmartVersion out) {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    if (reply.size() < kGetVersionInParamsBytes) return false;
    std::copy_n(reply.begin(), kGetVersionInParamsBytes, out.begin());
    return true;
}

std::optional<SmartDriverStatus> ReadSmartDriverStatus(std::span<const std::uint8_t> reply) {
    if (reply.size() < kSendCmdOutBufferOffset) return std::nullopt;
    SmartDriverStatus status;
    status.driverError = reply[kSendCmdOutDriverStatusOffset + kDriverStatusDriverErrorOffset];
    status.ideError = reply[kSendCmdOutDriverStatusOffset + kDriverStatusIdeErrorOffset];
    return status;
}

bool JudgeSmartNonDataReply(std::span<const std::uint8_t> reply) {
    const auto status = ReadSmartDriverStatus(reply);
    return status && status->driverError == 0 && status->ideError == 0;
}

std::optional<std::span<const std::uint8_t, kAtaSectorBytes>> SmartSectorFromReply(
    std::span<const std::uint8_t> reply) {
    if (!JudgeSmartNonDataReply(reply)) return std::nullopt;
    if (reply.size() - kSendCmdOutBufferOffset < kAtaSectorBytes) return std::nullopt;
    if (base::LoadLe32(reply, kSendCmdOutBufferSizeOffset) < kAtaSectorBytes) return std::nullopt;
    return reply.subspan(kSendCmdOutBufferOffset).first<kAtaSectorBytes>();
}

}  // namespace platform
