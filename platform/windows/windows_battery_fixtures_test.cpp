// The batteries of real machines, as their owners captured them, answered as a Windows battery
// driver would answer them: each capture is read through the power_supply folder reader, its
// answers are recorded as driver reply bytes, and CBatteryInfo over CWindowsBatterySystem
// must then show exactly what it shows over the folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "battery/battery_info.h"
#include "platform/sysfs/power_supply_folder.h"
#include "platform/windows/battery_recorded_calls.h"
#include "platform/windows/windows_battery_system.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// POWER_SUPPLY_KEY=value lines of the captured uevent, keys without the prefix.
std::map<std::string, std::string> ReadUevent(const fs::path& file) {
    std::map<std::string, std::string> fields;
    std::ifstream in(file);
    const std::string prefix = "POWER_SUPPLY_";
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos || line.compare(0, prefix.size(), prefix) != 0) continue;
        fields.emplace(line.substr(prefix.size(), eq - prefix.size()), line.substr(eq + 1));
    }
    return fields;
}

std::vector<std::string> AllTexts(const CBatteryInfo& b) {
    return {b.m_strTemperature,    b.m_strCycleCount,   b.m_strWear,         b.m_strChemistry,
            b.m_strDeviceName,     b.m_strUniqueId,     b.m_strManufacturer, b.m_strSerialNumber,
            b.m_strDesignCapacity, b.m_strFullCapacity, b.m_strVoltage,      b.m_strRemaining};
}

TEST(WindowsBatteryFixtures, CapturedBatteriesReadTheSameThroughTheDriverReplies) {
    const fs::path root = testsupport::FixturesDir();
    if (root.empty() || !fs::is_directory(root / "battery")) {
        GTEST_SKIP() << "no battery fixtures beside this checkout";
    }
    int captures = 0;
    int energyPacks = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root / "battery")) {
        const fs::path dir = entry.path();
        if (!fs::is_directory(dir / "power_supply") || !fs::exists(dir / "uevent")) continue;
        ++captures;
        SCOPED_TRACE(dir.string());

        platform::CPowerSupplyFolderSystem folder((dir / "power_supply").string());
        auto recorded = platform::testing::RecordBattery(folder);
        auto* calls = recorded.get();
        platform::CWindowsBatterySystem windows(std::move(recorded));

        const CBatteryInfo expected(folder);
        const CBatteryInfo battery(windows);
        ASSERT_NE(expected.m_hBattery, nullptr);
        ASSERT_NE(battery.m_hBattery, nullptr);
        EXPECT_EQ(AllTexts(battery), AllTexts(expected));
        EXPECT_EQ(calls->OpenHandles(), 1);

        // Straight from the capture, not through either reader.
        const auto uevent = ReadUevent(dir / "uevent");
        if (const auto serial = uevent.find("SERIAL_NUMBER"); serial != uevent.end()) {
            EXPECT_EQ(battery.m_strSerialNumber, serial->second);
        }
        // Energy is reported in µWh; the driver answers whole mWh.
        if (const auto design = uevent.find("ENERGY_FULL_DESIGN"); design != uevent.end()) {
            ++energyPacks;
            EXPECT_EQ(battery.m_strDesignCapacity,
                      std::to_string(std::stol(design->second) / 1000));
        }
    }
    EXPECT_GE(captures, 19);
    EXPECT_GE(energyPacks, 8);
}

}  // namespace
