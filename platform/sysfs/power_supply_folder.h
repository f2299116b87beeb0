// The batteries in a folder shaped like Linux's /sys/class/power_supply: one folder per
// supply, each holding its attribute files and a uevent. Linux reads its live supplies this
// way; every system reads saved copies of such a folder this way.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/battery_system.h"

namespace platform {

// The first supply of type "Battery" whose scope is not "Device" (peripheral batteries are
// not the machine's), in name order, present or not. Files are read by path as each request
// comes; nothing stays open between requests. A saved copy (`saved`) is read as saved data
// (platform/file_io.h): no link in it is followed, neither a supply nor an attribute.
class CPowerSupplyFolderSystem final : public IBatterySystem {
public:
    // Where Linux lists the machine's supplies.
    static constexpr const char* kDefaultRoot = "/sys/class/power_supply";

    // `root` is a UTF-8 path.
    explicit CPowerSupplyFolderSystem(std::string root, bool saved = false);
    std::unique_ptr<IBatteryDevice> OpenFirstBattery() override;
    std::uint8_t ReadBatteryLifePercent() override;

private:
    std::string m_strRoot;
    bool m_bSaved;
};

// The folder (a UTF-8 path) of the battery that CPowerSupplyFolderSystem(root, saved) opens
// first, or nullopt when `root` has none.
std::optional<std::string> FirstBatteryFolder(const std::string& root, bool saved);

}  // namespace platform
