#include "platform/sysfs/power_supply.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

namespace ps = platform::power_supply;
using platform::BatteryText;
using platform::kBatteryLifeUnknown;
using platform::kBatteryUnknownValue;

using Values = std::map<std::string, std::string, std::less<>>;

ps::Attributes From(const Values& values) {
    return [values](std::string_view name) -> std::optional<std::string> {
        const auto found = values.find(name);
        if (found == values.end()) return std::nullopt;
        return found->second;
    };
}

std::string Chemistry(const platform::BatteryInformation& info) {
    return std::string(info.chemistry.begin(), info.chemistry.end());
}

TEST(PowerSupply, ParsesOnlyWholeKernelIntegers) {
    EXPECT_EQ(ps::ParseInt("123"), 123);
    EXPECT_EQ(ps::ParseInt("-2702\n"), -2702);
    EXPECT_EQ(ps::ParseInt("0639"), 639);
    EXPECT_EQ(ps::ParseInt("2147483647"), 2147483647);
    for (const char* bad : {"", "\n", "-", "abc", "12abc", " 12", "+5", "1.5", "2147483648",
                            "99999999999999999999", "\xff\xfe"}) {
        EXPECT_FALSE(ps::ParseInt(bad)) << bad;
    }
    EXPECT_FALSE(ps::ParseInt(std::string_view("1\0", 2)));
}

TEST(PowerSupply, UeventLookupMatchesWholeKeys) {
    const std::string uevent =
        "POWER_SUPPLY_NAME=BAT0\n"
        "POWER_SUPPLY_CHARGE_FULL_DESIGN=4474000\n"
        "POWER_SUPPLY_CHARGE_FULL=3750000\n"
        "POWER_SUPPLY_MODEL_NAME=\n"
        "POWER_SUPPLY_SERIAL_NUMBER= 2958";
    EXPECT_EQ(ps::UeventValue(uevent, "charge_full"), "3750000");  // not the _DESIGN line
    EXPECT_EQ(ps::UeventValue(uevent, "charge_full_design"), "4474000");
    EXPECT_EQ(ps::UeventValue(uevent, "model_name"), "");
    EXPECT_EQ(ps::UeventValue(uevent, "serial_number"), " 2958");  // last line, no line feed
    EXPECT_FALSE(ps::UeventValue(uevent, "charge"));
    EXPECT_FALSE(ps::UeventValue(uevent, "temp"));
    EXPECT_FALSE(ps::UeventValue("", "name"));
    EXPECT_EQ(ps::StripLineEnd("  756\n"), "  756");
    EXPECT_EQ(ps::StripLineEnd("x\n\n"), "x\n");
}

TEST(PowerSupply, TypeScopeAndPresence) {
    EXPECT_TRUE(ps::IsSystemBattery(From({{"type", "Battery"}})));
    EXPECT_TRUE(ps::IsSystemBattery(From({{"type", "Battery"}, {"scope", "System"}})));
    EXPECT_FALSE(ps::IsSystemBattery(From({{"type", "Battery"}, {"scope", "Device"}})));
    EXPECT_FALSE(ps::IsSystemBattery(From({{"type", "Mains"}})));
    EXPECT_FALSE(ps::IsSystemBattery(From({{"scope", "System"}})));

    EXPECT_TRUE(ps::IsPresent(From({})));  // the kernel ABI: no attribute means present
    EXPECT_TRUE(ps::IsPresent(From({{"present", "1"}})));
    EXPECT_FALSE(ps::IsPresent(From({{"present", "0"}})));
    EXPECT_FALSE(ps::IsPresent(From({{"present", "yes"}})));
    EXPECT_FALSE(ps::IsPresent(From({{"present", ""}})));
}

TEST(PowerSupply, VoltageIsKnownOnlyWhenReadable) {
    EXPECT_EQ(ps::VoltageMillivolts(From({{"voltage_now", "12345678"}})), 12345u);
    EXPECT_EQ(ps::VoltageMillivolts(From({{"voltage_now", "0"}})), 0u);
    for (const char* bad : {"", "-1", "abc", "99999999999"}) {
        EXPECT_EQ(ps::VoltageMillivolts(From({{"voltage_now", bad}})), kBatteryUnknownValue);
    }
    EXPECT_EQ(ps::VoltageMillivolts(From({})), kBatteryUnknownValue);
}

TEST(PowerSupply, CapacitiesFromEnergyOrCharge) {
    // Energy in µWh: whole mWh, rounded down.
    auto info = ps::Information(From({{"energy_full_design", "45640999"},
                                      {"energy_full", "44611000"},
                                      {"technology", "Li-ion"}}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->designedCapacity, 45640u);
    EXPECT_EQ(info->fullChargedCapacity, 44611u);
    EXPECT_EQ(info->cycleCount, 0u);  // no cycle_count attribute
    EXPECT_EQ(Chemistry(*info), "LION");

    // Charge in µAh times the minimum design voltage: 4474000 * 11.4 V = 51003.6 mWh.
    Values charge = {{"charge_full_design", "4474000"},
                     {"charge_full", "3750000"},
                     {"voltage_min_design", "11400000"},
                     {"voltage_max_design", "12600000"},
                     {"voltage_now", "12729000"}};
    info = ps::Information(From(charge));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->designedCapacity, 51003u);
    EXPECT_EQ(info->fullChargedCapacity, 42750u);

    // Without a usable minimum, the maximum design voltage, then the present voltage.
    charge["voltage_min_design"] = "0";
    EXPECT_EQ(ps::Information(From(charge))->designedCapacity, 56372u);
    charge.erase("voltage_max_design");
    EXPECT_EQ(ps::Information(From(charge))->designedCapacity, 56949u);
    charge["voltage_now"] = "garbage";
    EXPECT_FALSE(ps::Information(From(charge)));  // no voltage: neither capacity can be had

    // Energy wins over charge when a driver reports both; a broken energy falls back.
    info = ps::Information(From({{"energy_full_design", "41040000"},
                                 {"energy_full", "-5"},
                                 {"charge_full_design", "3800000"},
                                 {"charge_full", "3898000"},
                                 {"voltage_min_design", "10800000"}}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->designedCapacity, 41040u);
    EXPECT_EQ(info->fullChargedCapacity, 42098u);
}

TEST(PowerSupply, UnknownCapacitiesAndBadCycleCounts) {
    // One capacity missing: the other still answers, the missing one is "unknown".
    auto info = ps::Information(From({{"energy_full", "52260000"}}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->designedCapacity, kBatteryUnknownValue);
    EXPECT_EQ(info->fullChargedCapacity, 52260u);
    EXPECT_FALSE(ps::Information(From({{"energy_now", "1000"}, {"technology", "Li-ion"}})));
    // A product that does not fit 32 bits is unknown, never wrapped or the unknown value.
    info = ps::Information(From({{"charge_full_design", "2147483647"},
                                 {"charge_full", "1000000"},
                                 {"voltage_min_design", "2147483647"}}));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->designedCapacity, kBatteryUnknownValue);
    EXPECT_EQ(info->fullChargedCapacity, 2147483u);

    const Values base = {{"energy_full_design", "50000000"}, {"energy_full", "45000000"}};
    auto withCycles = [&](const char* cycles) {
        Values v = base;
        v["cycle_count"] = cycles;
        return ps::Information(From(v));
    };
    EXPECT_EQ(withCycles("5\n")->cycleCount, 5u);
    EXPECT_EQ(withCycles("-1")->cycleCount, kBatteryUnknownValue);  // ACPI's "unknown"
    for (const char* bad : {"", "many", "-2", "4294967295"}) EXPECT_FALSE(withCycles(bad)) << bad;
}

TEST(PowerSupply, ChemistryCodes) {
    const std::pair<const char*, std::string> cases[] = {
        {"Li-ion", "LION"},
        {"Li-poly", std::string("LiP\0", 4)},
        {"LiFe", "LiFe"},
        {"LiMn", "LiMn"},
        {"NiMH", "NiMH"},
        {"NiCd", "NiCd"},
        {"Li-ion \n", "LION"},
        {"Unknown", std::string(4, '\0')},
        {"li-ion", std::string(4, '\0')},
    };
    for (const auto& [technology, code] : cases) {
        const auto info =
            ps::Information(From({{"energy_full", "1000"}, {"technology", technology}}));
        ASSERT_TRUE(info);
        EXPECT_EQ(Chemistry(*info), code) << technology;
    }
}

TEST(PowerSupply, IdentityTexts) {
    const auto battery = From({{"serial_number", "  756"},
                               {"manufacturer", "SMP"},
                               {"model_name", std::string("L14M4P23\0junk", 13)}});
    EXPECT_EQ(ps::Text(battery, BatteryText::SerialNumber), "  756");  // blanks kept
    EXPECT_EQ(ps::Text(battery, BatteryText::ManufactureName), "SMP");
    EXPECT_EQ(ps::Text(battery, BatteryText::DeviceName), "L14M4P23");  // up to the zero byte
    EXPECT_EQ(ps::Text(battery, BatteryText::UniqueId), "  756SMPL14M4P23");

    const auto partial = From({{"manufacturer", "EASCS"}});
    EXPECT_FALSE(ps::Text(partial, BatteryText::SerialNumber));
    EXPECT_FALSE(ps::Text(partial, BatteryText::DeviceName));
    EXPECT_EQ(ps::Text(partial, BatteryText::UniqueId), "EASCS");
    EXPECT_FALSE(ps::Text(From({}), BatteryText::UniqueId));
    EXPECT_EQ(ps::Text(From({{"model_name", ""}}), BatteryText::DeviceName), "");

    // The reply holds 99 UTF-16 units and a zero; a longer text is refused, not cut.
    EXPECT_TRUE(ps::Text(From({{"model_name", std::string(99, 'x')}}), BatteryText::DeviceName));
    EXPECT_FALSE(ps::Text(From({{"model_name", std::string(100, 'x')}}), BatteryText::DeviceName));
    std::string wide;
    for (int i = 0; i < 50; ++i) wide += "\xF0\x9F\x94\x8B";  // 50 pairs = 100 units
    EXPECT_FALSE(ps::Text(From({{"model_name", wide}}), BatteryText::DeviceName));
    std::string chinese;
    for (int i = 0; i < 99; ++i) chinese += "\xE7\x94\xB5";  // 297 bytes, 99 units
    EXPECT_TRUE(ps::Text(From({{"model_name", chinese}}), BatteryText::DeviceName));
}

TEST(PowerSupply, TemperatureInTenthsOfKelvin) {
    EXPECT_EQ(ps::TemperatureDeciKelvin(From({{"temp", "198"}})), 2930u);
    EXPECT_EQ(ps::TemperatureDeciKelvin(From({{"temp", "-155"}})), 2577u);
    EXPECT_EQ(ps::TemperatureDeciKelvin(From({{"temp", "-1000"}})), 1732u);
    EXPECT_EQ(ps::TemperatureDeciKelvin(From({{"temp", "2000"}})), 4732u);
    // Readings no battery can have are no reading: -270.2 C would show as 30 (3.0 K).
    for (const char* bad : {"-2702", "-1001", "2001", "-2147483648", "2147483647", "warm", ""}) {
        EXPECT_FALSE(ps::TemperatureDeciKelvin(From({{"temp", bad}}))) << bad;
    }
    EXPECT_FALSE(ps::TemperatureDeciKelvin(From({})));
}

TEST(PowerSupply, LifePercentOfOneBattery) {
    auto percent = [](const Values& v) {
        const std::vector<ps::Attributes> one = {From(v)};
        return ps::LifePercent(one);
    };
    EXPECT_EQ(percent({{"capacity", "51"}, {"energy_now", "1"}, {"energy_full", "2"}}), 51);
    // Without capacity: now * 100 / full, rounded down (39459 of 44611 is 88.45 %).
    EXPECT_EQ(percent({{"energy_now", "39459000"}, {"energy_full", "44611000"}}), 88);
    EXPECT_EQ(percent({{"charge_now", "501000"}, {"charge_full", "1802000"}}), 27);
    // An unusable capacity is no figure either: fall back rather than trust it.
    EXPECT_EQ(percent({{"capacity", "150"}, {"energy_now", "3"}, {"energy_full", "4"}}), 75);
    EXPECT_EQ(percent({{"capacity", "x"}, {"charge_now", "1"}, {"charge_full", "3"}}), 33);
    // Charged past its last full figure is full.
    EXPECT_EQ(percent({{"energy_now", "93790000"}, {"energy_full", "93550000"}}), 100);
    EXPECT_EQ(percent({{"charge_now", "5176"}, {"charge_full", "0"}}), kBatteryLifeUnknown);
    EXPECT_EQ(percent({{"charge_full", "9800000"}}), kBatteryLifeUnknown);
    EXPECT_EQ(percent({{"capacity", "-1"}}), kBatteryLifeUnknown);
    EXPECT_EQ(ps::LifePercent({}), kBatteryLifeUnknown);
}

TEST(PowerSupply, LifePercentOfSeveralBatteriesAddsEnergy) {
    // 10 of 50 Wh and 30 of 50 Wh: 40 %, not the 50 % of averaging their own percentages.
    std::vector<ps::Attributes> two = {
        From({{"capacity", "20"}, {"energy_now", "10000000"}, {"energy_full", "50000000"}}),
        From({{"capacity", "60"}, {"energy_now", "30000000"}, {"energy_full", "50000000"}})};
    EXPECT_EQ(ps::LifePercent(two), 40);
    // A charge battery joins the sum through its design voltage: 2 Ah * 10 V = 20 Wh of 50.
    two[1] = From({{"charge_now", "2000000"},
                   {"charge_full", "5000000"},
                   {"voltage_min_design", "10000000"}});
    EXPECT_EQ(ps::LifePercent(two), 30);
    // One battery without a figure leaves no honest sum.
    two[1] = From({{"capacity", "60"}});
    EXPECT_EQ(ps::LifePercent(two), kBatteryLifeUnknown);
}

}  // namespace
