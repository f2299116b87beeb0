// NVMe Identify and Get Log Page through IOCTL_STORAGE_QUERY_PROPERTY (the in-box NVMe
// driver's protocol-specific queries): the request bytes and the checked reply. Pure
// functions over byte spans; windows_drive_abi_check_win32.cpp pins the layout to <winioctl.h>.
//
// Identify Controller goes to the controller (StorageAdapterProtocolSpecificProperty);
// Identify Namespace and log pages are asked of the device (StorageDeviceProtocolSpecific-
// Property), as the driver's documentation does for a namespace and for the SMART / Health
// log. Identify Namespace carries its namespace ID in ProtocolDataRequestSubValue; a log page
// carries none (the driver picks it) and its ProtocolDataRequestSubValue is the offset into
// the page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

// STORAGE_PROTOCOL_TYPE and STORAGE_PROTOCOL_NVME_DATA_TYPE values.
inline constexpr std::uint32_t kProtocolTypeNvme = 3;
inline constexpr std::uint32_t kNvmeDataTypeIdentify = 1;
inline constexpr std::uint32_t kNvmeDataTypeLogPage = 2;

// STORAGE_PROTOCOL_SPECIFIC_DATA: ten 32-bit fields.
inline constexpr std::size_t kProtocolDataProtocolTypeOffset = 0;
inline constexpr std::size_t kProtocolDataDataTypeOffset = 4;
inline constexpr std::size_t kProtocolDataRequestValueOffset = 8;
inline constexpr std::size_t kProtocolDataRequestSubValueOffset = 12;
inline constexpr std::size_t kProtocolDataDataOffsetOffset = 16;  // from this structure's start
inline constexpr std::size_t kProtocolDataDataLengthOffset = 20;
inline constexpr std::size_t kProtocolSpecificDataBytes = 40;

// STORAGE_PROTOCOL_DATA_DESCRIPTOR: Version, Size, then STORAGE_PROTOCOL_SPECIFIC_DATA.
inline constexpr std::size_t kProtocolDescriptorVersionOffset = 0;
inline constexpr std::size_t kProtocolDescriptorSizeOffset = 4;
inline constexpr std::size_t kProtocolDescriptorDataOffset = 8;
inline constexpr std::size_t kProtocolDataDescriptorBytes = 48;

struct NvmeQuery {
    // STORAGE_PROPERTY_QUERY with STORAGE_PROTOCOL_SPECIFIC_DATA as its parameters, followed
    // by zeroed room for the data, as the driver is documented to take it.
    std::vector<std::uint8_t> request;
    std::size_t replyBytes = 0;   // the output buffer: descriptor and data
    std::uint32_t dataBytes = 0;  // the length the data must have
};

// Identify, CNS 01h: the 4096-byte Identify Controller data structure.
NvmeQuery BuildNvmeIdentifyControllerQuery();

// Identify, CNS 00h: the 4096-byte Identify Namespace data structure of namespace `nsid`.
NvmeQuery BuildNvmeIdentifyNamespaceQuery(std::uint32_t nsid);

// Get Log Page `logId` from offset 0, `bytes` long.
NvmeQuery BuildNvmeLogPageQuery(std::uint8_t logId, std::uint32_t bytes);

// The data of a STORAGE_PROTOCOL_DATA_DESCRIPTOR reply (the bytes the driver returned).
// nullopt unless Version is the descriptor's size, Size covers at least the descriptor, the
// data starts after the STORAGE_PROTOCOL_SPECIFIC_DATA, is exactly `expectedBytes` long and
// lies wholly inside the reply.
std::optional<std::span<const std::uint8_t>> NvmeDataFromReply(std::span<const std::uint8_t> reply,
                                                               std::uint32_t expectedBytes);

}  // namespace platform
