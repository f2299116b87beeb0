// A battery system for tests: answers what the test sets, records every request in order and
// can refuse each request on its own.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/battery_system.h"

namespace platform {

class CFakeBatterySystem final : public IBatterySystem {
public:
    // What the first battery interface answers. nullopt makes that request fail.
    bool bHasBattery = true;  // false: no battery interface is listed at all
    std::optional<std::uint32_t> tag = 7;
    std::optional<BatteryStatus> status = BatteryStatus{12345};
    std::optional<BatteryInformation> information;
    std::map<BatteryText, std::string> texts;  // a level that is missing here fails
    std::optional<std::uint32_t> temperature;
    std::uint8_t lifePercent = kBatteryLifeUnknown;

    // Every request, in order: "Open", "Tag", "Status 7", "Information 7", "Text Serial 7",
    // "Temperature 7", "LifePercent", "Close".
    std::vector<std::string> calls;
    int OpenDevices() const { return m_nOpenDevices; }

    std::unique_ptr<IBatteryDevice> OpenFirstBattery() override;
    std::uint8_t ReadBatteryLifePercent() override;

private:
    class CDevice;
    int m_nOpenDevices = 0;
};

}  // namespace platform
