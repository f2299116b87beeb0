#include "platform/sysfs/power_supply_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/utf8_path.h"
#include "platform/battery_system.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::BatteryText;
using platform::CPowerSupplyFolderSystem;

// Writes a supply folder as sysfs shows it: one file per attribute, value and a line feed.
void WriteSupply(const testsupport::CTempDir& root, const std::string& name,
                 const std::map<std::string, std::string>& attributes) {
    fs::create_directories(root.Path() / name);
    for (const auto& [attribute, value] : attributes)
        root.Write(name + "/" + attribute, value + "\n");
}

CPowerSupplyFolderSystem SystemAt(const testsupport::CTempDir& root) {
    return CPowerSupplyFolderSystem(base::Utf8Of(root.Path()));
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

TEST(PowerSupplyFolderSystem, MissingOrEmptyFolderHasNoBattery) {
    testsupport::CTempDir root;
    CPowerSupplyFolderSystem empty = SystemAt(root);
    EXPECT_EQ(empty.OpenFirstBattery(), nullptr);
    EXPECT_EQ(empty.ReadBatteryLifePercent(), platform::kBatteryLifeUnknown);
    CPowerSupplyFolderSystem missing(base::Utf8Of(root.Path() / "nothing"));
    EXPECT_EQ(missing.OpenFirstBattery(), nullptr);
    EXPECT_EQ(missing.ReadBatteryLifePercent(), platform::kBatteryLifeUnknown);
    // Mains adapters and USB ports are supplies too, but not batteries; a file that merely
    // holds a battery's uevent is not a supply folder.
    WriteSupply(root, "AC", {{"type", "Mains"}, {"online", "1"}});
    root.Write("BAT0", "POWER_SUPPLY_TYPE=Battery\n");
    EXPECT_EQ(empty.OpenFirstBattery(), nullptr);
}

TEST(PowerSupplyFolderSystem, ReadsTheFirstSystemBatteryInNameOrder) {
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
    CPowerSupplyFolderSystem system = SystemAt(root);

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

    // Wrong tags are refused, as the driver refuses them; asking again keeps the tag.
    EXPECT_FALSE(battery->QueryStatus(0));
    EXPECT_FALSE(battery->QueryInformation(*tag + 1));
    EXPECT_EQ(battery->QueryTag(), tag);

    // Both system batteries count, the mouse does not: 2.42 + 50 Wh of 25.86 + 50 Wh.
    EXPECT_EQ(system.ReadBatteryLifePercent(), 69);
    // A removed second battery leaves the first one's own capacity.
    root.Write("BAT1/present", "0\n");
    EXPECT_EQ(system.ReadBatteryLifePercent(), 9);
}

TEST(PowerSupplyFolderSystem, EmptySlotGivesTagZeroAndRefusesRequests) {
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", {{"type", "Battery"}, {"present", "0"}, {"energy_full", "1000"}});
    CPowerSupplyFolderSystem system = SystemAt(root);
    auto battery = system.OpenFirstBattery();  // the first battery, present or not
    ASSERT_NE(battery, nullptr);
    EXPECT_EQ(battery->QueryTag(), 0u);
    EXPECT_FALSE(battery->QueryStatus(0));
    EXPECT_EQ(system.ReadBatteryLifePercent(), platform::kBatteryLifeUnknown);
}

TEST(PowerSupplyFolderSystem, UeventStandsInForMissingAttributeFiles) {
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
    CPowerSupplyFolderSystem system = SystemAt(root);
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

TEST(PowerSupplyFolderSystem, BadFilesNeverGiveNumbers) {
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", {{"type", "Battery"}, {"energy_full", "40000000"}});
    // Not sysfs attributes: one byte over a page, and a folder. The uevent would answer for
    // both, but it is over its own bound.
    root.Write("BAT0/energy_full_design", std::string(4096, '1') + "\n");
    fs::create_directories(root.Path() / "BAT0/voltage_now");
    root.Write("BAT0/uevent",
               "POWER_SUPPLY_VOLTAGE_NOW=12000000\n"
               "POWER_SUPPLY_ENERGY_FULL_DESIGN=50000000\n" +
                   std::string(64 * 1024, '\n'));
    root.Write("BAT0/serial_number", "\xff\xfe\n");
    CPowerSupplyFolderSystem system = SystemAt(root);
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    const auto tag = *battery->QueryTag();
    EXPECT_EQ(battery->QueryStatus(tag)->voltage, platform::kBatteryUnknownValue);
    EXPECT_EQ(battery->QueryInformation(tag)->designedCapacity, platform::kBatteryUnknownValue);
    EXPECT_EQ(battery->QueryText(tag, BatteryText::SerialNumber), "\xff\xfe");  // bytes as they are

    // A file of exactly one page is still an attribute; a uevent within its bound answers.
    root.Write("BAT0/energy_full_design", std::string(4095 - 8, '0') + "45000000\n");
    root.Write("BAT0/uevent", "POWER_SUPPLY_VOLTAGE_NOW=12000000\n");
    EXPECT_EQ(battery->QueryInformation(tag)->designedCapacity, 45000u);
    EXPECT_EQ(battery->QueryStatus(tag)->voltage, 12000u);
}

TEST(PowerSupplyFolderSystem, FolderNamedInUtf8) {
    testsupport::CTempDir root;
    const fs::path folder = root.Path() / fs::path(u8"电池备份") / "BAT0";
    fs::create_directories(folder);
    std::ofstream(folder / "uevent") << "POWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_CAPACITY=42\n";
    CPowerSupplyFolderSystem system(base::Utf8Of(folder.parent_path()));
    EXPECT_NE(system.OpenFirstBattery(), nullptr);
    EXPECT_EQ(system.ReadBatteryLifePercent(), 42);
}

TEST(PowerSupplyFolderSystem, HeldBatteryFollowsItsSlot) {
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", kLaptopBattery);
    CPowerSupplyFolderSystem system = SystemAt(root);
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    const auto tag = *battery->QueryTag();
    ASSERT_TRUE(battery->QueryStatus(tag));

    // The folder is gone (device removed, driver unloaded): every request fails.
    fs::remove_all(root.Path() / "BAT0");
    EXPECT_FALSE(battery->QueryStatus(tag));
    EXPECT_FALSE(battery->QueryTag());

    // Another battery under the same name is not the one that was tagged.
    auto other = kLaptopBattery;
    other["serial_number"] = "7777";
    other["voltage_now"] = "12000000";
    WriteSupply(root, "BAT0", other);
    EXPECT_FALSE(battery->QueryStatus(tag));
    const auto newTag = battery->QueryTag();
    ASSERT_TRUE(newTag);
    EXPECT_NE(*newTag, 0u);
    EXPECT_NE(*newTag, tag);
    EXPECT_EQ(battery->QueryStatus(*newTag)->voltage, 12000u);
    EXPECT_FALSE(battery->QueryStatus(tag));

    // Taken out and put back, a battery is tagged anew as well.
    root.Write("BAT0/present", "0\n");
    EXPECT_EQ(battery->QueryTag(), 0u);
    EXPECT_FALSE(battery->QueryStatus(*newTag));
    root.Write("BAT0/present", "1\n");
    const auto thirdTag = battery->QueryTag();
    ASSERT_TRUE(thirdTag);
    EXPECT_NE(*thirdTag, *newTag);
    EXPECT_TRUE(battery->QueryStatus(*thirdTag));
}

#ifndef _WIN32

TEST(PowerSupplyFolderSystem, FifoNamedLikeAnAttributeIsMissingAndNeverBlocks) {
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", {{"type", "Battery"}, {"energy_full", "40000000"}});
    // Nobody writes to these FIFOs: opening one to read would wait forever.
    ASSERT_EQ(::mkfifo((root.Path() / "BAT0/temp").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((root.Path() / "BAT0/uevent").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((root.Path() / "AC").c_str(), 0600), 0);
    CPowerSupplyFolderSystem system = SystemAt(root);
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    const auto tag = *battery->QueryTag();
    EXPECT_FALSE(battery->QueryTemperature(tag));
    EXPECT_EQ(battery->QueryInformation(tag)->fullChargedCapacity, 40000u);
    EXPECT_EQ(system.ReadBatteryLifePercent(), platform::kBatteryLifeUnknown);
}

TEST(PowerSupplyFolderSystem, FollowsLinkedSupplyFolders) {
    // /sys/class/power_supply holds symbolic links to the devices' own folders.
    testsupport::CTempDir root;
    WriteSupply(root, "devices/BAT0", kLaptopBattery);
    fs::create_directories(root.Path() / "class");
    fs::create_directory_symlink(root.Path() / "devices/BAT0", root.Path() / "class/BAT0");
    fs::create_symlink(root.Path() / "devices/BAT0/type", root.Path() / "class/AAA-file");
    fs::create_symlink(root.Path() / "devices/gone", root.Path() / "class/AAA-dangling");
    CPowerSupplyFolderSystem system(base::Utf8Of(root.Path() / "class"));
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    const auto tag = *battery->QueryTag();
    EXPECT_EQ(battery->QueryText(tag, BatteryText::DeviceName), "00HW022");
    EXPECT_EQ(system.ReadBatteryLifePercent(), 9);
}

TEST(PowerSupplyFolderSystem, UnreadableAttributeFallsBackToUevent) {
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", {{"type", "Battery"}, {"voltage_now", "11000000"}});
    root.Write("BAT0/uevent", "POWER_SUPPLY_VOLTAGE_NOW=12500000\n");
    const fs::path locked = root.Path() / "BAT0/voltage_now";
    fs::permissions(locked, fs::perms::none);
    if (std::ifstream(locked).is_open()) GTEST_SKIP() << "running with rights that read anyway";
    CPowerSupplyFolderSystem system = SystemAt(root);
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    EXPECT_EQ(battery->QueryStatus(*battery->QueryTag())->voltage, 12500u);
}

// Requests read the folder afresh; no descriptor stays open behind a held battery.
TEST(PowerSupplyFolderSystem, HoldsNoDescriptorBetweenRequests) {
    auto openDescriptors = [] {
        std::error_code ec;
        return std::distance(fs::directory_iterator("/proc/self/fd", ec), fs::directory_iterator());
    };
    testsupport::CTempDir root;
    WriteSupply(root, "BAT0", kLaptopBattery);
    WriteSupply(root, "BAT1", kLaptopBattery);
    CPowerSupplyFolderSystem system = SystemAt(root);
    const auto before = openDescriptors();
    ASSERT_GT(before, 0);
    auto battery = system.OpenFirstBattery();
    ASSERT_NE(battery, nullptr);
    EXPECT_TRUE(battery->QueryStatus(*battery->QueryTag()));
    EXPECT_EQ(system.ReadBatteryLifePercent(), 9);
    EXPECT_EQ(openDescriptors(), before);
}

#endif  // _WIN32

}  // namespace
