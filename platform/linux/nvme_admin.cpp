#include "platform/linux/nvme_admin.h"

#include <cerrno>

#include "platform/nvme_commands.h"

namespace platform {

NvmeAdminCommand IdentifyControllerCommand() {
    NvmeAdminCommand cmd;
    cmd.opcode = kNvmeOpIdentify;
    cmd.nsid = 0;
    cmd.cdw10 = kNvmeCnsController;  // bits 7:0 CNS, 31:16 CNTID 0
    cmd.dataLength = kNvmeIdentifyBytes;
    return cmd;
}

NvmeAdminCommand IdentifyNamespaceCommand(std::uint32_t nsid) {
    NvmeAdminCommand cmd;
    cmd.opcode = kNvmeOpIdentify;
    cmd.nsid = nsid;
    cmd.cdw10 = kNvmeCnsNamespace;
    cmd.dataLength = kNvmeIdentifyBytes;
    return cmd;
}

NvmeAdminCommand GetLogPageCommand(std::uint8_t logId, std::uint32_t bytes) {
    // NUMD is a 0-based count of dwords: its low 16 bits go to CDW10 31:16 (NUMDL), its
    // high 16 bits to CDW11 15:0 (NUMDU). Bit 15 is RAE; LSP (bits 14:8) stays 0.
    const std::uint32_t numd = bytes / 4 - 1;
    NvmeAdminCommand cmd;
    cmd.opcode = kNvmeOpGetLogPage;
    cmd.nsid = kNvmeAllNamespaces;
    cmd.cdw10 = ((numd & 0xFFFF) << 16) | kNvmeRetainAsyncEvent | logId;
    cmd.cdw11 = numd >> 16;
    cmd.dataLength = bytes;
    return cmd;
}

bool IsPermittedNvmeCommand(const NvmeAdminCommand& cmd) {
    if (cmd.opcode == kNvmeOpIdentify) {
        // CNS 01h ignores NSID, which must then be 0; CNS 00h names the one namespace asked.
        const bool controller = cmd.cdw10 == kNvmeCnsController && cmd.nsid == 0;
        const bool firstNamespace =
            cmd.cdw10 == kNvmeCnsNamespace && cmd.nsid == kNvmeFirstNamespace;
        return (controller || firstNamespace) && cmd.cdw11 == 0 &&
               cmd.dataLength == kNvmeIdentifyBytes;
    }
    if (cmd.opcode == kNvmeOpGetLogPage) {
        const std::uint32_t numd = kNvmeLogPageBytes / 4 - 1;
        return cmd.nsid == kNvmeAllNamespaces &&
               cmd.cdw10 ==
                   (((numd & 0xFFFF) << 16) | kNvmeRetainAsyncEvent | kNvmeLogSmartHealth) &&
               cmd.cdw11 == numd >> 16 && cmd.dataLength == kNvmeLogPageBytes;
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
