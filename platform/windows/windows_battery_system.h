// The batteries of a Windows machine, behind the battery seam: the first battery interface
// that SetupDi lists for a present device and whose tag is not 0, asked through the battery class
// driver's DeviceIoControl requests, and GetSystemPowerStatus for the combined remaining charge.
#pragma once

#include <memory>

#include "platform/battery_system.h"
#include "platform/windows/windows_battery_calls.h"

namespace platform {

class CWindowsBatterySystem final : public IBatterySystem {
public:
    // Reaches the system through `calls`: the real ones, or recorded replies in tests.
    explicit CWindowsBatterySystem(std::unique_ptr<IBatteryCalls> calls);
    // Opens the listed interfaces in order and asks each for its tag; the first with a tag
    // holds its device until it is destroyed, the others are closed at once.
    std::unique_ptr<IBatteryDevice> OpenFirstBattery() override;
    // kBatteryLifeUnknown also when GetSystemPowerStatus fails.
    std::uint8_t ReadBatteryLifePercent() override;

private:
    std::unique_ptr<IBatteryCalls> m_calls;
};

// The system's batteries through the real calls (Windows build only).
std::unique_ptr<IBatterySystem> MakeWindowsBatterySystem();

}  // namespace platform
