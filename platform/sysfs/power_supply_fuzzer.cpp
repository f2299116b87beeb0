// Feeds arbitrary uevent text to every battery request: none may crash, and a capacity that
// comes back must never be the value reserved for "unknown" by accident of arithmetic.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/sysfs/power_supply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace ps = platform::power_supply;
    const std::string_view uevent(reinterpret_cast<const char*>(data), size);
    const ps::Attributes attributes = [uevent](std::string_view name) {
        return ps::UeventValue(uevent, name);
    };
    (void)ps::IsSystemBattery(attributes);
    (void)ps::IsPresent(attributes);
    (void)ps::VoltageMillivolts(attributes);
    (void)ps::TemperatureDeciKelvin(attributes);
    for (auto level : {platform::BatteryText::SerialNumber, platform::BatteryText::ManufactureName,
                       platform::BatteryText::UniqueId, platform::BatteryText::DeviceName}) {
        (void)ps::Text(attributes, level);
    }
    if (const auto info = ps::Information(attributes)) {
        if (info->designedCapacity == platform::kBatteryUnknownValue &&
            info->fullChargedCapacity == platform::kBatteryUnknownValue) {
            std::abort();  // such a reply must have been refused
        }
    }
    const ps::Attributes two[] = {attributes, attributes};
    for (std::size_t n = 1; n <= 2; ++n) {
        const std::uint8_t percent = ps::LifePercent(std::span(two, n));
        if (percent > 100 && percent != platform::kBatteryLifeUnknown) std::abort();
    }
    return 0;
}
