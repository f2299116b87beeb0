#include "disk/smart_attributes.h"

#include "base/little_endian.h"
#include "platform/drive_system.h"

namespace disk {
namespace {

// The raw value of an entry, least significant byte first, `bytes` of its six.
std::uint64_t RawValue(std::span<const std::uint8_t> entry, std::size_t bytes) {
    return base::LoadLe(entry, kAttributeRawOffset, bytes);
}

}  // namespace

SmartCounters WalkSmartAttributes(std::span<const std::uint8_t> sector) {
    SmartCounters counters;
    if (sector.size() != platform::kAtaSectorBytes) return counters;
    for (std::size_t i = 0; i < kAttributeEntries; ++i) {
        const auto entry =
            sector.subspan(kAttributeTableOffset + i * kAttributeEntryBytes, kAttributeEntryBytes);
        const auto low16 = static_cast<std::uint16_t>(RawValue(entry, 2));
        switch (entry[0]) {
            case kAttrReallocatedSectors:
                counters.reallocatedSectors = low16;
                break;
            case kAttrPowerOnHours:
                counters.powerOnHours = low16;
                break;
            case kAttrPowerCycles:
                counters.powerCycles = low16;
                break;
            case kAttrTemperature:
                counters.temperatureCelsius = entry[kAttributeRawOffset];
                break;
            case kAttrPendingSectors:
                counters.pendingSectors = RawValue(entry, kAttributeRawBytes);
                break;
            case kAttrOfflineUncorrectable:
                counters.offlineUncorrectable = RawValue(entry, kAttributeRawBytes);
                break;
            default:
                break;
        }
    }
    return counters;
}

}  // namespace disk
