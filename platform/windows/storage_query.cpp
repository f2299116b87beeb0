#include "platform/windows/storage_query.h"

#include "base/little_endian.h"

namespace platform {

void WritePropertyQueryHead(std::uint32_t propertyId, std::uint32_t queryType,
                            std::span<std::uint8_t> out) {
    base::StoreLe32(out, kPropertyQueryPropertyIdOffset, propertyId);
    base::StoreLe32(out, kPropertyQueryQueryTypeOffset, queryType);
}

PropertyQuery BuildDeviceDescriptorQuery() {
    PropertyQuery query{};
    WritePropertyQueryHead(kStorageDeviceProperty, kPropertyStandardQuery, query);
    return query;
}

std::optional<DeviceDescriptorFacts> ReadDeviceDescriptor(std::span<const std::uint8_t> reply) {
    constexpr std::size_t kThroughBusType = kDeviceDescriptorBusTypeOffset + 4;
    if (reply.size() < kThroughBusType) return std::nullopt;
    // Version is the size of the structure the driver wrote, Size that of the whole
    // descriptor; a driver whose structure ends before BusType has no bus to tell.
    if (base::LoadLe32(reply, kDeviceDescriptorVersionOffset) < kThroughBusType)
        return std::nullopt;
    if (base::LoadLe32(reply, kDeviceDescriptorSizeOffset) < kThroughBusType) return std::nullopt;
    DeviceDescriptorFacts facts;
    facts.busType = base::LoadLe32(reply, kDeviceDescriptorBusTypeOffset);
    facts.bRemovableMedia = reply[kDeviceDescriptorRemovableMediaOffset] != 0;
    return facts;
}

bool IsInternalDrive(const DeviceDescriptorFacts& facts) {
    return facts.busType != kBusTypeUsb && !facts.bRemovableMedia;
}

}  // namespace platform
