#include "platform/windows/nvme_query.h"

#include "base/little_endian.h"
#include "platform/nvme_commands.h"
#include "platform/windows/storage_query.h"

namespace platform {
namespace {

NvmeQuery BuildQuery(std::uint32_t propertyId, std::uint32_t dataType, std::uint32_t requestValue,
                     std::uint32_t requestSubValue, std::uint32_t bytes) {
    NvmeQuery query;
    query.dataBytes = bytes;
    query.request.assign(kPropertyQueryParametersOffset + kProtocolSpecificDataBytes + bytes, 0);
    query.replyBytes = kProtocolDataDescriptorBytes + bytes;
    WritePropertyQueryHead(propertyId, kPropertyStandardQuery, query.request);

    const auto data =
        std::span<std::uint8_t>(query.request).subspan(kPropertyQueryParametersOffset);
    base::StoreLe32(data, kProtocolDataProtocolTypeOffset, kProtocolTypeNvme);
    base::StoreLe32(data, kProtocolDataDataTypeOffset, dataType);
    base::StoreLe32(data, kProtocolDataRequestValueOffset, requestValue);
    base::StoreLe32(data, kProtocolDataRequestSubValueOffset, requestSubValue);
    base::StoreLe32(data, kProtocolDataDataOffsetOffset, kProtocolSpecificDataBytes);
    base::StoreLe32(data, kProtocolDataDataLengthOffset, bytes);
    return query;
}

}  // namespace

NvmeQuery BuildNvmeIdentifyControllerQuery() {
    return BuildQuery(kStorageAdapterProtocolSpecificProperty, kNvmeDataTypeIdentify,
                      kNvmeCnsController, 0, kNvmeIdentifyBytes);
}

NvmeQuery BuildNvmeIdentifyNamespaceQuery(std::uint32_t nsid) {
    return BuildQuery(kStorageDeviceProtocolSpecificProperty, kNvmeDataTypeIdentify,
                      kNvmeCnsNamespace, nsid, kNvmeIdentifyBytes);
}

NvmeQuery BuildNvmeLogPageQuery(std::uint8_t logId, std::uint32_t bytes) {
    return BuildQuery(kStorageDeviceProtocolSpecificProperty, kNvmeDataTypeLogPage, logId, 0,
                      bytes);
}

std::optional<std::span<const std::uint8_t>> NvmeDataFromReply(std::span<const std::uint8_t> reply,
                                                               std::uint32_t expectedBytes) {
    if (reply.size() < kProtocolDataDescriptorBytes) return std::nullopt;
    if (base::LoadLe32(reply, kProtocolDescriptorVersionOffset) != kProtocolDataDescriptorBytes) {
        return std::nullopt;
    }
    // Size is documented both as the descriptor's own size and as the size with the data;
    // either is at least the descriptor. It bounds nothing: the bytes returned do.
    if (base::LoadLe32(reply, kProtocolDescriptorSizeOffset) < kProtocolDataDescriptorBytes) {
        return std::nullopt;
    }
    const auto protocolData = reply.subspan(kProtocolDescriptorDataOffset);
    const std::uint32_t offset = base::LoadLe32(protocolData, kProtocolDataDataOffsetOffset);
    const std::uint32_t length = base::LoadLe32(protocolData, kProtocolDataDataLengthOffset);
    if (offset < kProtocolSpecificDataBytes || length != expectedBytes) return std::nullopt;
    if (offset > protocolData.size() || protocolData.size() - offset < length) return std::nullopt;
    return protocolData.subspan(offset, length);
}

}  // namespace platform
