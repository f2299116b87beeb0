// NVMe admin commands as plain values (NVMe Base Specification 2.0, 5.16 Get Log Page and
// 5.17 Identify). The ioctl wrapper copies them into the kernel's passthrough structure.
#pragma once

#include <cstdint>

namespace platform {

struct NvmeAdminCommand {
    std::uint8_t opcode = 0;
    std::uint32_t nsid = 0;
    std::uint32_t cdw10 = 0;
    std::uint32_t cdw11 = 0;
    std::uint32_t dataLength = 0;  // bytes the controller returns
};

// Identify, CNS 01h: the 4096-byte Identify Controller data structure.
NvmeAdminCommand IdentifyControllerCommand();

// Identify, CNS 00h: the 4096-byte Identify Namespace data structure of namespace `nsid`.
NvmeAdminCommand IdentifyNamespaceCommand(std::uint32_t nsid);

// Get Log Page `logId` over all namespaces (NSID FFFFFFFFh), `bytes` long (a non-zero
// multiple of 4), with Retain Asynchronous Event (RAE) set: reading the log leaves any
// asynchronous event the controller reported standing for the driver, which owns them.
NvmeAdminCommand GetLogPageCommand(std::uint8_t logId, std::uint32_t bytes);

// The only admin commands this program sends: Identify Controller, Identify Namespace of
// namespace 1, and Get Log Page for the SMART / Health log (02h) with RAE set. Anything else
// never reaches a controller.
bool IsPermittedNvmeCommand(const NvmeAdminCommand& cmd);

// Turns the ioctl's result into success: 0 is success; a positive value is the NVMe status
// the controller completed with (`*errorCode` = EIO); a negative one a failed ioctl, whose
// errno is `callErrno`.
bool JudgeNvmeResult(int ioctlResult, int callErrno, int* errorCode);

}  // namespace platform
