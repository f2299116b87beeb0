#include "disk/smart_attributes.h"

namespace disk {
namespace {

constexpr std::size_t kRawLow = 5;  // raw value, least significant byte first
constexpr std::size_t kRawSecond = 6;

}  // namespace

SmartCounters WalkSmartAttributes(std::span<const std::uint8_t> sector) {
    SmartCounters counters;
    if (sector.size() != kSmartSectorBytes) return counters;
    for (std::size_t i = 0; i < kAttributeEntries; ++i) {
        const auto entry =
            sector.subspan(kAttributeTableOffset + i * kAttributeEntryBytes, kAttributeEntryBytes);
        const auto low16 = static_cast<std::uint16_t>(entry[kRawSecond] << 8 | entry[kRawLow]);
        switch (entry[0]) {
            case kAttrPowerOnHours:
                counters.powerOnHours = low16;
                break;
            case kAttrPowerCycles:
                counters.powerCycles = low16;
                break;
            case kAttrTemperature:
                counters.temperatureCelsius = entry[kRawLow];
                break;
            default:
                break;
        }
    }
    return counters;
}

}  // namespace disk
