#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/battery_system.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::BatteryText;
using platform::CSysfsBatterySystem;

// Writes a supply folder as sysfs shows it: one file per attribute, value and a line feed.
void WriteSupply(const testsupport::CTempDir& root, const std::string& name,
                 const std::map<std::string, std::string>& attributes) {
    std::filesystem::create_directories(root.Path() / name);
    for (const auto& [attribute, value] : attributes)
        root.Write(name + "/" + attribute, value + "\n");
}

const std::map<std::string, std::string> kLaptopBattery = {
    {"type", "Battery"},
    {"present", "1"},
    {"technology", "Li-poly"},
    {"cycle_count", "5"},
    {"voltage_min_design", "11250000"},
    {"voltage_now", "10459000"},
    {"energy_full_design", "23510000"},
    {"energy_full", "25860000"},
    {"energy_now", "2420000"},
    {"capacity", "9"},
    {"model_name", "00HW022"},
    {"manufacturer", "SANYO"},
    {"serial_number", " 1242"},
};

TEST(SysfsBatterySystem, MissingOrEmptyFolderHasNoBattery) {
    testsupport::CTempDir root;
    CSysfsBatterySystem empty(root.Path().string());
    EXPECT_EQ(empty.OpenFirstBattery(), nullptr);
    EXPECT_EQ(empty.ReadBatteryLifePercent(), platform::kBatteryLifeUnknown);
    CSysfsBatterySystem missing((root.Path() / "nothing").string());
    EXPECT_EQ(missing.OpenFirstBattery(), nullptr);
    // Mains adapters and USB ports are supplies too, but not batteries.
    WriteSupply(root, "AC", {{"type", "Mains"}, {"online", "1"}});
    EXPECT_EQ(empty.OpenFirstBattery(), nullptr);
}

TEST(SysfsBatterySystem, ReadsTheFirstSystemBatteryInNameOrder) {
    testsupport::CTempDir root;
    WriteSupply(root, "AC", {{"type", "Mains"}});
    // A wireless mouse's battery sorts first but is a peripheral's.
    WriteSupply(root, "ABC-mouse",
                {{"type", "Battery"},
                 {"scope", "Device"},
                 {"capacity", "5"},
                 {"model_name", "Mouse"},
                 {"energy_full", "1000000"}});
    WriteSupply(root, "BAT1",
                {{"type", "Battery"},
                 {"model_name", "Second"},
                 {"energy_full", "50000000"},
                 {"energy_now", "50000000"}});
    WriteSupply(root, "BAT0", kLaptopBattery);
    CSysfsBatterySystem system(root.Path().string());

    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    const auto tag = battery->QueryTag();
    ASSERT_TRUE(tag);
    ASSERT_NE(*tag, 0u);
    EXPECT_EQ(battery->QueryText(*tag, BatteryText::DeviceName), "00HW022");
    EXPECT_EQ(battery->QueryText(*tag, BatteryText::SerialNumber), " 1242");
    EXPECT_EQ(battery->QueryText(*tag, BatteryText::ManufactureName), "SANYO");
    EXPECT_EQ(battery->QueryText(*tag, BatteryText::UniqueId), " 1242SANYO00HW022");
    EXPECT_EQ(battery->QueryStatus(*tag)->voltage, 10459u);
    const auto info = battery->QueryInformation(*tag);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->designedCapacity, 23510u);
    EXPECT_EQ(info->fullChargedCapacity, 25860u);
    EXPECT_EQ(info->cycleCount, 5u);
    EXPECT_EQ(std::string(info->chemistry.begin(), info->chemistry.end()), std::string("LiP\0", 4));
    EXPECT_FALSE(battery->QueryTemperature(*tag));  // ACPI batteries have no temp

    // Wrong tags are refused, as the driver refuses them.
    EXPECT_FALSE(battery->QueryStatus(0));
    EXPECT_FALSE(battery->QueryInformation(*tag + 1));

    // Both system batteries count, the mouse does not: 2.42 + 50 Wh of 25.86 + 50 Wh.
    EXPECT_EQ(system.ReadBatteryLifePercent(), 69);
    // A removed second battery leaves the first one's own capacity.
    root.Write("BAT1/present", "0\n");
    EXPECT_EQ(system.ReadBatteryLifePercent(), 9);
}

TEST(SysfsBatterySystem, EmptySlotGivesTagZeroAndRefusesRequests) {
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", {{"type", "Battery"}, {"present", "0"}, {"energy_full", "1000"}});
    CSysfsBatterySystem system(root.Path().string());
    auto battery = system.OpenFirstBattery();  // the first battery, present or not
    ASSERT_NE(battery, nullptr);
    EXPECT_EQ(battery->QueryTag(), 0u);
    EXPECT_FALSE(battery->QueryStatus(0));
    EXPECT_EQ(system.ReadBatteryLifePercent(), platform::kBatteryLifeUnknown);
}

TEST(SysfsBatterySystem, UeventStandsInForMissingAttributeFiles) {
    testsupport::CTempDir root;
    root.Write("cw2015-battery/uevent",
               "POWER_SUPPLY_NAME=cw2015-battery\n"
               "POWER_SUPPLY_TYPE=Battery\n"
               "POWER_SUPPLY_CAPACITY=96\n"
               "POWER_SUPPLY_PRESENT=1\n"
               "POWER_SUPPLY_VOLTAGE_NOW=4151000\n"
               "POWER_SUPPLY_CHARGE_FULL=9800000\n"
               "POWER_SUPPLY_CHARGE_FULL_DESIGN=9800000\n"
               "POWER_SUPPLY_TEMP=250\n");
    // An attribute file, where there is one, is what the driver says now.
    root.Write("cw2015-battery/voltage_now", "4000000\n");
    CSysfsBatterySystem system(root.Path().string());
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    const auto tag = battery->QueryTag();
    ASSERT_EQ(tag, 1u);
    EXPECT_EQ(battery->QueryStatus(*tag)->voltage, 4000u);
    const auto info = battery->QueryInformation(*tag);
    ASSERT_TRUE(info);
    // No design voltage at all: the present one converts charge (9.8 Ah * 4.0 V).
    EXPECT_EQ(info->designedCapacity, 39200u);
    EXPECT_EQ(battery->QueryTemperature(*tag), 2982u);
    EXPECT_FALSE(battery->QueryText(*tag, BatteryText::UniqueId));
    EXPECT_EQ(system.ReadBatteryLifePercent(), 96);
}

TEST(SysfsBatterySystem, BadFilesNeverGiveNumbers) {
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", {{"type", "Battery"}, {"energy_full", "40000000"}});
    root.Write("BAT0/energy_full_design", std::string(5000, '1'));          // not a sysfs attribute
    std::filesystem::create_directories(root.Path() / "BAT0/voltage_now");  // not a file
    ASSERT_EQ(::mkfifo((root.Path() / "BAT0/temp").c_str(), 0600), 0);      // must not block
    root.Write("BAT0/serial_number", "\xff\xfe\n");
    CSysfsBatterySystem system(root.Path().string());
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    const auto tag = *battery->QueryTag();
    EXPECT_EQ(battery->QueryStatus(tag)->voltage, platform::kBatteryUnknownValue);
    EXPECT_FALSE(battery->QueryTemperature(tag));
    EXPECT_EQ(battery->QueryInformation(tag)->designedCapacity, platform::kBatteryUnknownValue);
    EXPECT_EQ(battery->QueryText(tag, BatteryText::SerialNumber), "\xff\xfe");  // bytes as they are
}

TEST(SysfsBatterySystem, HeldBatteryFailsOnceItsFolderIsGone) {
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", kLaptopBattery);
    CSysfsBatterySystem system(root.Path().string());
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    const auto tag = *battery->QueryTag();
    ASSERT_TRUE(battery->QueryStatus(tag));
    // A new battery under the same name is another battery, not the one that was opened.
    std::filesystem::rename(root.Path() / "BAT0", root.Path() / "old");
    std::filesystem::remove_all(root.Path() / "old");
    WriteSupply(root, "BAT0", kLaptopBattery);
    EXPECT_FALSE(battery->QueryStatus(tag));
    EXPECT_FALSE(battery->QueryTag());
}

}  // namespace
