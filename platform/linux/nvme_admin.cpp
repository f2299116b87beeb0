#include "platform/linux/nvme_admin.h"

#include <cerrno>

namespace platform {
namespace {

constexpr std::uint8_t kOpGetLogPage = 0x02;
constexpr std::uint8_t kOpIdentify = 0x06;
constexpr std::uint32_t kCnsController = 0x01;
constexpr std::uint32_t kAllNamespaces = 0xFFFFFFFF;
constexpr std::uint32_t kIdentifyBytes = 4096;
constexpr std::uint32_t kRae = 1u << 15;  // CDW10 bit 15
constexpr std::uint8_t kLogSmartHealth = 0x02;
constexpr std::uint32_t kLogPageBytes = 512;

}  // namespace

NvmeAdminCommand IdentifyControllerCommand() {
    NvmeAdminCommand cmd;
    cmd.opcode = kOpIdentify;
    cmd.nsid = 0;
    cmd.cdw10 = kCnsController;  // bits 7:0 CNS, 31:16 CNTID 0
    cmd.dataLength = kIdentifyBytes;
    return cmd;
}

NvmeAdminCommand GetLogPageCommand(std::uint8_t logId, std::uint32_t bytes) {
    // NUMD is a 0-based count of dwords: its low 16 bits go to CDW10 31:16 (NUMDL), its
    // high 16 bits to CDW11 15:0 (NUMDU). Bit 15 is RAE; LSP (bits 14:8) stays 0.
    const std::uint32_t numd = bytes / 4 - 1;
    NvmeAdminCommand cmd;
    cmd.opcode = kOpGetLogPage;
    cmd.nsid = kAllNamespaces;
    cmd.cdw10 = ((numd & 0xFFFF) << 16) | kRae | logId;
    cmd.cdw11 = numd >> 16;
    cmd.dataLength = bytes;
    return cmd;
}

bool IsPermittedNvmeCommand(const NvmeAdminCommand& cmd) {
    if (cmd.opcode == kOpIdentify)
        return cmd.nsid == 0 && cmd.cdw10 == kCnsController && cmd.cdw11 == 0 &&
               cmd.dataLength == kIdentifyBytes;
    if (cmd.opcode == kOpGetLogPage) {
        const std::uint32_t numd = kLogPageBytes / 4 - 1;
        return cmd.nsid == kAllNamespaces &&
               cmd.cdw10 == (((numd & 0xFFFF) << 16) | kRae | kLogSmartHealth) &&
               cmd.cdw11 == numd >> 16 && cmd.dataLength == kLogPageBytes;
    }
    return false;
}

bool JudgeNvmeResult(int ioctlResult, int callErrno, int* errorCode) {
    if (ioctlResult == 0) {
        *errorCode = 0;
        return true;
    }
    *errorCode = ioctlResult > 0 ? EIO : callErrno;
    return false;
}

}  // namespace platform
