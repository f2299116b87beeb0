#include "battery/battery_page.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "battery/battery_info.h"
#include "platform/fake/fake_battery_system.h"
#include "platform/smbios_source.h"
#include "smbios/smbios.h"
#include "text/gbk.h"

namespace {

using platform::BatteryText;

std::unique_ptr<CSMBios> Smbios(platform::RawSmbios tables) {
    platform::CFixedSmbiosSource source(std::move(tables));
    return std::make_unique<CSMBios>(source, platform::Notifier());
}

// A firmware table holding one Portable Battery structure (SMBIOS 3.x, 7.23) and the
// End-of-Table structure, behind a "_SM3_" entry point.
platform::RawSmbios PortableBatteryTables() {
    std::vector<std::uint8_t> table = {
        /* 0x00 */ 22,   0x1A, 0x00, 0x00,  // type 22, length, handle
        /* 0x04 */ 1,                       // Location: string 1
        /* 0x05 */ 2,                       // Manufacturer: string 2
        /* 0x06 */ 0,                       // Manufacture Date: none, see SBDS date
        /* 0x07 */ 0,    3,                 // Serial Number: none; Device Name: string 3
        /* 0x09 */ 0x02,                    // Device Chemistry: unknown
        /* 0x0A */ 0x48, 0x12,              // Design Capacity
        /* 0x0C */ 0x5C, 0x2B,              // Design Voltage: 11100 mV
        /* 0x0E */ 0,    0xFF,              // SBDS Version Number; Maximum Error
        /* 0x10 */ 0x34, 0x12,              // SBDS Serial Number
        /* 0x12 */ 0xEF, 0x40,              // SBDS Manufacture Date: 2012-07-15
        /* 0x14 */ 0,    1,                 // SBDS Device Chemistry; Design Capacity Multiplier
        /* 0x16 */ 0,    0,    0,    0,     // OEM-specific
    };
    for (const char* s : {"Front", "ACME", "Pack"}) {
        table.insert(table.end(), s, s + std::char_traits<char>::length(s) + 1);
    }
    table.push_back(0);
    table.insert(table.end(), {127, 4, 0x01, 0x00, 0, 0});
    return {.bReached = true, .major = 3, .minor = 0, .table = table};
}

// The page in UTF-8 as it is meant to read, so the expectations stay legible.
std::string Gbk(const std::string& utf8) {
    return text::Utf8ToGbk(utf8);
}

TEST(BatteryPage, NoBatteryAndNoFirmwareRecord) {
    platform::CFakeBatterySystem fake;
    fake.bHasBattery = false;
    const CBatteryInfo battery(fake);
    const auto smbios = Smbios({});
    const std::string page = battery::BuildBatteryPage(battery, *smbios);
    EXPECT_EQ(page, Gbk("电池设备名称：\r\n"
                        "电池序列号  ：\r\n"
                        "电池制造厂商：\r\n"
                        "电池唯一ID号：\r\n"
                        "电池设计容量：mWh\r\n"
                        "完全充电容量：mWh\r\n"
                        "电池损耗    ：%\r\n"
                        "充放电次数  ： (参考)\r\n"
                        "电池化学工艺：\r\n"
                        "电池设计电压：V\r\n"
                        "电池电压    ：V\r\n"
                        "电池剩余电量：%\r\n"
                        "电池生产日期：\r\n"
                        "电池温度    ：\r\n"));
    // Every label is twelve GBK bytes and the colon A3 BA, so the values line up.
    std::size_t start = 0;
    int lines = 0;
    for (std::size_t end; (end = page.find("\r\n", start)) != std::string::npos; start = end + 2) {
        ASSERT_GE(end - start, 14u);
        EXPECT_EQ(page.substr(start + 12, 2), "\xA3\xBA") << "line " << lines + 1;
        ++lines;
    }
    EXPECT_EQ(lines, 14);
    EXPECT_EQ(start, page.size());
}

TEST(BatteryPage, FullBatteryWithFirmwareRecord) {
    platform::CFakeBatterySystem fake;
    fake.information = platform::BatteryInformation{50000, 45000, 3, {'L', 'I', 'O', 'N'}};
    fake.texts = {{BatteryText::SerialNumber, "  973"},
                  {BatteryText::ManufactureName, "SMP"},
                  {BatteryText::UniqueId, "  973SMP42T4977"},
                  {BatteryText::DeviceName, "42T4977"}};
    fake.lifePercent = 32;
    const CBatteryInfo battery(fake);
    const auto smbios = Smbios(PortableBatteryTables());
    const std::string page = battery::BuildBatteryPage(battery, *smbios);
    EXPECT_EQ(page, Gbk("电池设备名称：42T4977\r\n"
                        "电池序列号  ：  973\r\n"
                        "电池制造厂商：SMP\r\n"
                        "电池唯一ID号：  973SMP42T4977\r\n"
                        "电池设计容量：50000mWh\r\n"
                        "完全充电容量：45000mWh\r\n"
                        "电池损耗    ：9%\r\n"
                        "充放电次数  ：3 (参考)\r\n"
                        "电池化学工艺：LION\r\n"
                        "电池设计电压：11.100000V\r\n"
                        "电池电压    ：12.345000V\r\n"
                        "电池剩余电量：32%\r\n"
                        "电池生产日期：2012-7-15\r\n"
                        "电池温度    ：-\r\n"));
    // The page reads no device: building it again gives the same text.
    const std::size_t calls = fake.calls.size();
    EXPECT_EQ(battery::BuildBatteryPage(battery, *smbios), page);
    EXPECT_EQ(fake.calls.size(), calls);
}

TEST(BatteryPage, FirmwareRecordWithoutBattery) {
    platform::CFakeBatterySystem fake;
    fake.tag = 0;
    const CBatteryInfo battery(fake);
    auto smbios = Smbios({});
    smbios->m_strBatteryDesignVoltage = "14.800000";
    smbios->m_strBatteryDate = "2015-3-2";
    const std::string page = battery::BuildBatteryPage(battery, *smbios);
    EXPECT_NE(page.find(Gbk("电池设计电压：14.800000V\r\n")), std::string::npos);
    EXPECT_NE(page.find(Gbk("电池生产日期：2015-3-2\r\n")), std::string::npos);
    EXPECT_NE(page.find(Gbk("电池电压    ：V\r\n电池剩余电量：%\r\n")), std::string::npos);
    EXPECT_TRUE(page.ends_with(Gbk("电池温度    ：\r\n")));  // not "-": no battery at all
}

TEST(BatteryPage, CapacitiesCarryMwhUnlessRelativeAndAnUnknownOneShowsNoFigure) {
    const std::uint32_t unknown = platform::kBatteryUnknownValue;
    const struct {
        bool bRelative;
        std::uint32_t design, full;
        const char* lines;  // lines 5 to 7
    } rows[] = {
        {false, 50000, 45000,
         "电池设计容量：50000mWh\r\n完全充电容量：45000mWh\r\n电池损耗    ：9%\r\n"},
        {true, 100, 87, "电池设计容量：100\r\n完全充电容量：87\r\n电池损耗    ：13%\r\n"},
        {false, 50000, unknown,
         "电池设计容量：50000mWh\r\n完全充电容量：mWh\r\n电池损耗    ：%\r\n"},
        {false, unknown, unknown, "电池设计容量：mWh\r\n完全充电容量：mWh\r\n电池损耗    ：%\r\n"},
        {true, unknown, 87, "电池设计容量：\r\n完全充电容量：87\r\n电池损耗    ：%\r\n"},
    };
    const auto smbios = Smbios({});
    for (const auto& row : rows) {
        platform::CFakeBatterySystem fake;
        fake.information =
            platform::BatteryInformation{row.design, row.full, 3, {'L', 'i', 'P', 0}};
        fake.information->bRelativeCapacity = row.bRelative;
        const CBatteryInfo battery(fake);
        const std::string page = battery::BuildBatteryPage(battery, *smbios);
        EXPECT_NE(page.find(Gbk("电池唯一ID号：\r\n") + Gbk(row.lines) + Gbk("充放电次数")),
                  std::string::npos)
            << row.lines;
    }
}

}  // namespace
