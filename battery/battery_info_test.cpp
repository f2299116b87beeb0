#include "battery/battery_info.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/fake_battery_system.h"

namespace {

using platform::BatteryInformation;
using platform::BatteryText;
using platform::CFakeBatterySystem;
using platform::kBatteryUnknownValue;

BatteryInformation Info(std::uint32_t full, std::uint32_t design, std::uint32_t cycles = 0,
                        std::array<std::uint8_t, 4> chemistry = {'L', 'I', 'O', 'N'}) {
    BatteryInformation info;
    info.fullChargedCapacity = full;
    info.designedCapacity = design;
    info.cycleCount = cycles;
    info.chemistry = chemistry;
    return info;
}

// A battery that answers every request.
void FillBattery(CFakeBatterySystem& fake) {
    fake.information = Info(45000, 50000, 12);
    fake.texts = {{BatteryText::SerialNumber, " 2958"},
                  {BatteryText::ManufactureName, "SMP-ATL4.49"},
                  {BatteryText::UniqueId, " 2958SMP-ATL4.49DELL PN1VN08"},
                  {BatteryText::DeviceName, "DELL PN1VN08"}};
    fake.temperature = 2982;
    fake.lifePercent = 98;
}

// A battery read from its own fake; the fake outlives the reader, which holds its device.
struct Reading {
    CFakeBatterySystem fake;
    std::unique_ptr<CBatteryInfo> info;
};

std::vector<const std::string*> AllTexts(const CBatteryInfo& b) {
    return {&b.m_strTemperature,  &b.m_strCycleCount,   &b.m_strWear,
            &b.m_strChemistry,    &b.m_strDeviceName,   &b.m_strUniqueId,
            &b.m_strManufacturer, &b.m_strSerialNumber, &b.m_strDesignCapacity,
            &b.m_strFullCapacity, &b.m_strVoltage,      &b.m_strRemaining};
}

TEST(BatteryInfo, ReadsEverythingInOrderAndHoldsTheBattery) {
    CFakeBatterySystem fake;
    FillBattery(fake);
    {
        CBatteryInfo battery(fake);
        EXPECT_EQ(fake.calls,
                  (std::vector<std::string>{"Open", "Tag", "Status 7", "LifePercent",
                                            "Information 7", "Text Serial 7", "Text Manufacturer 7",
                                            "Text UniqueId 7", "Text Name 7", "Temperature 7"}));
        EXPECT_EQ(battery.m_ulTag, 7u);
        EXPECT_EQ(fake.OpenDevices(), 1);  // still open after construction
        EXPECT_EQ(battery.m_strVoltage, "12.345000");
        EXPECT_EQ(battery.m_strRemaining, "98");
        EXPECT_EQ(battery.m_strFullCapacity, "45000");
        EXPECT_EQ(battery.m_strDesignCapacity, "50000");
        EXPECT_EQ(battery.m_strWear, "9");
        EXPECT_EQ(battery.m_strCycleCount, "12");
        EXPECT_EQ(battery.m_strChemistry, "LION");
        EXPECT_EQ(battery.m_strSerialNumber, " 2958");
        EXPECT_EQ(battery.m_strManufacturer, "SMP-ATL4.49");
        EXPECT_EQ(battery.m_strUniqueId, " 2958SMP-ATL4.49DELL PN1VN08");
        EXPECT_EQ(battery.m_strDeviceName, "DELL PN1VN08");
        EXPECT_EQ(battery.m_strTemperature, "2982");  // tenths of a kelvin, not converted
    }
    EXPECT_EQ(fake.OpenDevices(), 0);
    EXPECT_EQ(fake.calls.back(), "Close");
}

TEST(BatteryInfo, NoBatteryLeavesEveryTextEmpty) {
    auto expectNoBattery = [](CFakeBatterySystem& fake, const char* why) {
        FillBattery(fake);
        const CBatteryInfo battery(fake);
        EXPECT_EQ(battery.m_hBattery, nullptr) << why;
        EXPECT_EQ(battery.m_ulTag, 0u) << why;
        for (const std::string* text : AllTexts(battery)) EXPECT_EQ(*text, "") << why;
        EXPECT_EQ(fake.OpenDevices(), 0) << why;
        EXPECT_EQ(fake.calls.back(), "Close") << why;
    };
    {
        CFakeBatterySystem fake;
        fake.bHasBattery = false;
        FillBattery(fake);
        const CBatteryInfo battery(fake);
        EXPECT_EQ(fake.calls, (std::vector<std::string>{"Open"}));
        for (const std::string* text : AllTexts(battery)) EXPECT_EQ(*text, "");
    }
    CFakeBatterySystem emptySlot;
    emptySlot.tag = 0;
    expectNoBattery(emptySlot, "tag 0");
    CFakeBatterySystem tagFails;
    tagFails.tag = std::nullopt;
    expectNoBattery(tagFails, "tag request failed");
    CFakeBatterySystem statusFails;
    statusFails.status = std::nullopt;
    expectNoBattery(statusFails, "status request failed");
    EXPECT_EQ(statusFails.calls.size(), 4u);  // Open, Tag, Status, Close: nothing more
}

TEST(BatteryInfo, CapacitiesAndWearRoundInDoublePrecisionThenTruncate) {
    struct Case {
        std::uint32_t full, design;
        const char* wear;
        const char* fullText;
        const char* designText;
    };
    const Case cases[] = {
        {45000, 50000, "9", "45000", "50000"},  // 9.999999999999998
        {45678, 50000, "8", "45678", "50000"},  // 8.643999999999997
        {50000, 50000, "0", "50000", "50000"},
        {52000, 50000, "0", "52000", "50000"},
        {0, 50000, "100", "0", "50000"},
        {45000, 0, "0", "45000", "0"},
        {1802, 5600, "67", "1802", "5600"},
        // An unknown capacity (all bits set) has no figure, not -1, and no wear.
        {kBatteryUnknownValue, 50000, "", "", "50000"},
        {45000, kBatteryUnknownValue, "", "45000", ""},
        {kBatteryUnknownValue, kBatteryUnknownValue, "", "", ""},
        // One short of unknown is a figure, printed as "%d" does.
        {0xFFFFFFFE, 50000, "0", "-2", "50000"},
    };
    for (const Case& c : cases) {
        for (const bool bRelative : {false, true}) {
            CFakeBatterySystem fake;
            fake.information = Info(c.full, c.design);
            fake.information->bRelativeCapacity = bRelative;
            const CBatteryInfo battery(fake);
            SCOPED_TRACE(std::to_string(c.full) + " of " + std::to_string(c.design) +
                         (bRelative ? ", relative" : ""));
            // A relative scale changes no figure: the ratio is the same.
            EXPECT_EQ(battery.m_strWear, c.wear);
            EXPECT_EQ(battery.m_strFullCapacity, c.fullText);
            EXPECT_EQ(battery.m_strDesignCapacity, c.designText);
            EXPECT_EQ(battery.m_bRelativeCapacity, bRelative);
        }
    }
}

TEST(BatteryInfo, NumbersAndChemistryAsPrinted) {
    auto read = [](auto configure) {
        auto reading = std::make_unique<Reading>();
        configure(reading->fake);
        reading->info = std::make_unique<CBatteryInfo>(reading->fake);
        return reading;
    };
    EXPECT_EQ(read([](auto& f) { f.status = platform::BatteryStatus{0}; })->info->m_strVoltage,
              "0.000000");
    EXPECT_EQ(read([](auto& f) { f.status = platform::BatteryStatus{11100}; })->info->m_strVoltage,
              "11.100000");
    // An unknown voltage is no voltage, yet the battery is there.
    auto unknown = read([](auto& f) {
        f.status = platform::BatteryStatus{kBatteryUnknownValue};
        f.information = Info(1, 2);
    });
    EXPECT_EQ(unknown->info->m_strVoltage, "");
    EXPECT_EQ(unknown->info->m_strFullCapacity, "1");

    // 32-bit values print as signed numbers; a capacity or cycle count with all bits set is
    // unknown, no figure (not -1).
    auto big = read([](auto& f) {
        f.information = Info(0x80000000u, kBatteryUnknownValue, kBatteryUnknownValue);
        f.temperature = 0xFFFFFFFEu;
    });
    EXPECT_EQ(big->info->m_strFullCapacity, "-2147483648");
    EXPECT_EQ(big->info->m_strDesignCapacity, "");
    EXPECT_EQ(big->info->m_strCycleCount, "");
    EXPECT_EQ(big->info->m_strTemperature, "-2");
    EXPECT_EQ(read([](auto& f) { f.information = Info(1, 1, 0xFFFFFFFEu); })->info->m_strCycleCount,
              "-2");

    EXPECT_EQ(read([](auto& f) {
                  f.information = Info(1, 1, 0, {'L', 'i', 0, 0});
              })->info->m_strChemistry,
              "Li");
    EXPECT_EQ(read([](auto& f) {
                  f.information = Info(1, 1, 0, {'N', 'i', 'M', 'H'});
              })->info->m_strChemistry,
              "NiMH");  // four characters, no terminator needed
    EXPECT_EQ(read([](auto& f) {
                  f.information = Info(1, 1, 0, {0, 'x', 'y', 'z'});
              })->info->m_strChemistry,
              "");
    // The system's "no figure" (255) shows nothing rather than 255 %.
    EXPECT_EQ(read([](auto& f) { f.lifePercent = 0; })->info->m_strRemaining, "0");
    EXPECT_EQ(read([](auto& f) { f.lifePercent = 255; })->info->m_strRemaining, "");
}

TEST(BatteryInfo, AFailedRequestEmptiesOnlyItsTexts) {
    CFakeBatterySystem fake;
    FillBattery(fake);
    fake.information = std::nullopt;
    fake.texts.erase(BatteryText::UniqueId);
    fake.temperature = std::nullopt;
    const CBatteryInfo battery(fake);
    for (const std::string* text :
         {&battery.m_strFullCapacity, &battery.m_strDesignCapacity, &battery.m_strWear,
          &battery.m_strCycleCount, &battery.m_strChemistry, &battery.m_strUniqueId}) {
        EXPECT_EQ(*text, "");
    }
    EXPECT_EQ(battery.m_strTemperature, "-");  // refused temperature, battery present
    EXPECT_EQ(battery.m_strSerialNumber, " 2958");
    EXPECT_EQ(battery.m_strDeviceName, "DELL PN1VN08");
    EXPECT_EQ(battery.m_strVoltage, "12.345000");
    EXPECT_EQ(battery.m_strRemaining, "98");
}

TEST(BatteryInfo, IdentityTextsBecomeGbk) {
    CFakeBatterySystem fake;
    fake.texts = {{BatteryText::ManufactureName, "\xE7\x94\xB5\xE6\xB1\xA0"},  // 电池
                  {BatteryText::DeviceName, "Pack \xF0\x9F\x94\x8B 1"},        // U+1F50B
                  {BatteryText::SerialNumber,
                   "\xFF"
                   "12"}};  // not UTF-8
    const CBatteryInfo battery(fake);
    EXPECT_EQ(battery.m_strManufacturer, "\xB5\xE7\xB3\xD8");
    EXPECT_EQ(battery.m_strDeviceName, "Pack ? 1");  // GBK lacks it
    EXPECT_EQ(battery.m_strSerialNumber, "?12");
}

}  // namespace
