// The batteries of real machines, as their owners captured them, read through the
// power_supply folder reader and compared with UPower's reading of the same capture.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "battery/battery_info.h"
#include "platform/sysfs/power_supply_folder.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Fields = std::map<std::string, std::string>;

// "  key:   value" lines of `upower -d`, first occurrence wins.
Fields ReadUpower(const fs::path& file) {
    Fields fields;
    std::ifstream in(file);
    const std::regex line(R"(\s+([a-z-]+):\s+(.*?)\s*)");
    std::smatch m;
    for (std::string text; std::getline(in, text);) {
        if (std::regex_match(text, m, line)) fields.emplace(m[1], m[2]);
    }
    return fields;
}

// POWER_SUPPLY_KEY=value lines of the captured uevent.
Fields ReadUevent(const fs::path& file) {
    Fields fields;
    std::ifstream in(file);
    for (std::string text; std::getline(in, text);) {
        const auto eq = text.find('=');
        if (eq != std::string::npos) fields.emplace(text.substr(0, eq), text.substr(eq + 1));
    }
    return fields;
}

double Number(const std::string& text) {
    return std::stod(text);
}  // "52.26 Wh" -> 52.26

long Key(const Fields& uevent, const std::string& key, long otherwise) {
    const auto found = uevent.find("POWER_SUPPLY_" + key);
    return found == uevent.end() ? otherwise : std::stol(found->second);
}

TEST(BatteryFixtures, CapturedBatteriesAgreeWithUpower) {
    const fs::path root = testsupport::FixturesDir();
    if (root.empty() || !fs::is_directory(root / "battery")) {
        GTEST_SKIP() << "no battery fixtures beside this checkout";
    }
    int captures = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root / "battery")) {
        const fs::path dir = entry.path();
        if (!fs::is_directory(dir / "power_supply") || !fs::exists(dir / "upower.txt")) continue;
        ++captures;
        SCOPED_TRACE(dir.string());
        const Fields upower = ReadUpower(dir / "upower.txt");
        const Fields uevent = ReadUevent(dir / "uevent");
        const std::u8string folder = (dir / "power_supply").u8string();
        platform::CPowerSupplyFolderSystem system(std::string(folder.begin(), folder.end()));
        const CBatteryInfo battery(system);
        ASSERT_EQ(upower.at("present"), "yes");
        ASSERT_NE(battery.m_hBattery, nullptr);

        // UPower reinterprets some figures; the page shows what the driver reported.
        // A full charge of 0 or below the present charge: UPower substitutes another figure.
        const long full = Key(uevent, "ENERGY_FULL", Key(uevent, "CHARGE_FULL", -1));
        const long now = Key(uevent, "ENERGY_NOW", Key(uevent, "CHARGE_NOW", -1));
        const bool fullReplaced = full == 0 || now > full;
        // Voltages below 1 V are millivolts misreported as microvolts; UPower then converts
        // charge with a voltage of its own choosing.
        const bool unitsOff = Key(uevent, "VOLTAGE_NOW", 0) < 1'000'000;

        if (!unitsOff) {
            EXPECT_NEAR(std::stol(battery.m_strDesignCapacity),
                        Number(upower.at("energy-full-design")) * 1000, 1.5);
            if (!fullReplaced) {
                EXPECT_NEAR(std::stol(battery.m_strFullCapacity),
                            Number(upower.at("energy-full")) * 1000, 1.5);
                EXPECT_NEAR(std::stoi(battery.m_strWear),
                            std::max(0.0, 100 - Number(upower.at("capacity"))), 1.0);
            }
        }
        EXPECT_NEAR(std::stod(battery.m_strVoltage), Number(upower.at("voltage")), 0.0015);
        EXPECT_NEAR(std::stoi(battery.m_strRemaining), Number(upower.at("percentage")), 1.0);
        const std::string cycles = upower.at("charge-cycles");
        EXPECT_EQ(battery.m_strCycleCount, cycles == "N/A" ? "0" : cycles);
        // Tenths of a kelvin where UPower found a plausible temperature, "-" (refused) elsewhere.
        const auto celsius = upower.find("temperature");
        EXPECT_EQ(battery.m_strTemperature,
                  celsius == upower.end()
                      ? "-"
                      : std::to_string(std::lround(Number(celsius->second) * 10) + 2732));
    }
    EXPECT_GE(captures, 19);
}

}  // namespace
