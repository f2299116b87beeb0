#include "platform/windows/battery_ioctl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace ioctl = platform::battery_ioctl;
using Bytes = std::vector<std::uint8_t>;

// Bytes 0, 1, 2, ... so every field of a record reads differently.
Bytes Counting(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

// UTF-16LE units as bytes.
Bytes Units(std::initializer_list<std::uint16_t> units) {
    Bytes bytes;
    for (const std::uint16_t u : units) {
        bytes.push_back(static_cast<std::uint8_t>(u));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    return bytes;
}

TEST(BatteryIoctl, RequestsAreLittleEndianRecordsOfTheirOwnSize) {
    EXPECT_EQ(ioctl::BuildTagWait(0), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(ioctl::BuildTagWait(0x01020304), (std::array<std::uint8_t, 4>{4, 3, 2, 1}));

    EXPECT_EQ(ioctl::BuildQueryInformation(0xA1B2C3D4, ioctl::InformationLevel::SerialNumber),
              (std::array<std::uint8_t, 12>{0xD4, 0xC3, 0xB2, 0xA1, 8, 0, 0, 0, 0, 0, 0, 0}));

    std::array<std::uint8_t, 20> wait{};
    wait[0] = 0x2A;
    wait[1] = 0x01;
    EXPECT_EQ(ioctl::BuildWaitStatus(0x12A), wait);
}

TEST(BatteryIoctl, TextLevelsMapToTheDriversLevelNumbers) {
    using platform::BatteryText;
    EXPECT_EQ(ioctl::LevelOf(BatteryText::SerialNumber), ioctl::InformationLevel::SerialNumber);
    EXPECT_EQ(ioctl::LevelOf(BatteryText::ManufactureName),
              ioctl::InformationLevel::ManufactureName);
    EXPECT_EQ(ioctl::LevelOf(BatteryText::UniqueId), ioctl::InformationLevel::UniqueId);
    EXPECT_EQ(ioctl::LevelOf(BatteryText::DeviceName), ioctl::InformationLevel::DeviceName);
    EXPECT_EQ(static_cast<int>(ioctl::InformationLevel::UniqueId), 7);
    EXPECT_EQ(static_cast<int>(ioctl::InformationLevel::DeviceName), 4);
}

TEST(BatteryIoctl, StatusReadsTheVoltageAndNeedsAllSixteenBytes) {
    const auto status = ioctl::ParseStatus(Counting(16));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->voltage, 0x0B0A0908u);
    EXPECT_FALSE(ioctl::ParseStatus(Counting(15)));  // Rate missing: not a whole record
    EXPECT_FALSE(ioctl::ParseStatus(Counting(9)));
    EXPECT_FALSE(ioctl::ParseStatus({}));
    EXPECT_EQ(ioctl::ParseStatus(Counting(20))->voltage, 0x0B0A0908u);
}

TEST(BatteryIoctl, InformationReadsItsFiveFieldsAndNeedsAllThirtySixBytes) {
    const auto info = ioctl::ParseInformation(Counting(36));
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->bRelativeCapacity);  // Capabilities 0x03020100
    EXPECT_EQ(info->chemistry, (std::array<std::uint8_t, 4>{8, 9, 10, 11}));
    EXPECT_EQ(info->designedCapacity, 0x0F0E0D0Cu);
    EXPECT_EQ(info->fullChargedCapacity, 0x13121110u);
    EXPECT_EQ(info->cycleCount, 0x23222120u);
    EXPECT_FALSE(ioctl::ParseInformation(Counting(35)));  // CycleCount cut short
    EXPECT_FALSE(ioctl::ParseInformation(Counting(20)));

    // BATTERY_CAPACITY_RELATIVE is bit 30 of Capabilities, whatever else is set beside it.
    for (const auto& [capabilities, bRelative] : std::vector<std::pair<std::uint32_t, bool>>{
             {0x80000000, false},  // BATTERY_SYSTEM_BATTERY alone
             {0x40000000, true},
             {0xC0000000, true},
             {0xBFFFFFFF, false}}) {
        Bytes reply = Counting(36);
        for (std::size_t i = 0; i < 4; ++i)
            reply[i] = static_cast<std::uint8_t>(capabilities >> (8 * i));
        EXPECT_EQ(ioctl::ParseInformation(reply)->bRelativeCapacity, bRelative) << capabilities;
    }
}

TEST(BatteryIoctl, FourByteRepliesNeedFourBytes) {
    const Bytes reply{0xA6, 0x0B, 0, 0};
    EXPECT_EQ(ioctl::ParseTemperature(reply), 2982u);
    EXPECT_EQ(ioctl::ParseTag(reply), 2982u);
    EXPECT_EQ(ioctl::ParseTag(Bytes{0, 0, 0, 0}), 0u);  // the driver's "no battery" is a reply
    EXPECT_FALSE(ioctl::ParseTemperature(Bytes{0xA6, 0x0B, 0}));
    EXPECT_FALSE(ioctl::ParseTag(Bytes{0xA6}));
    EXPECT_FALSE(ioctl::ParseTag({}));
}

TEST(BatteryIoctl, LifePercentIsTheThirdByteOfAWholeRecord) {
    Bytes record = Counting(12);
    record[2] = 87;
    EXPECT_EQ(ioctl::ParseBatteryLifePercent(record), 87);
    record[2] = 255;
    EXPECT_EQ(ioctl::ParseBatteryLifePercent(record), 255);
    EXPECT_FALSE(ioctl::ParseBatteryLifePercent(Counting(11)));
}

TEST(BatteryIoctl, TextEndsAtTheFirstZeroUnitOrTheReply) {
    Bytes reply = Units({'D', 'E', 'L', 'L', 0, 'X', 'Y'});
    EXPECT_EQ(ioctl::ParseText(reply), "DELL");
    // No zero unit: the text ends with the bytes returned, not in whatever follows them.
    EXPECT_EQ(ioctl::ParseText(std::span(reply).first(6)), "DEL");
    // An odd last byte is half a unit.
    EXPECT_EQ(ioctl::ParseText(std::span(reply).first(7)), "DEL");
    // A zero byte inside a unit does not end the text.
    EXPECT_EQ(ioctl::ParseText(Units({0x4E00, 'A', 0})),
              "\xE4\xB8\x80"
              "A");
    EXPECT_EQ(ioctl::ParseText({}), "");
    EXPECT_EQ(ioctl::ParseText(Units({0, 'A'})), "");
}

TEST(BatteryIoctl, TextNeverReadsPastTwoHundredBytes) {
    Bytes reply;
    for (int i = 0; i < 110; ++i) {
        reply.push_back('a');
        reply.push_back(0);
    }
    EXPECT_EQ(ioctl::ParseText(reply), std::string(100, 'a'));
    // A pair across the limit: its high half is the last unit read, and stands alone.
    reply[198] = 0x3D;
    reply[199] = 0xD8;
    reply[200] = 0x0B;
    reply[201] = 0xDD;
    EXPECT_EQ(ioctl::ParseText(reply), std::string(99, 'a') + "?");
}

TEST(BatteryIoctl, Utf16BecomesUtf8WithUnpairedSurrogatesAsQuestionMarks) {
    // U+00E9, U+4E2D, U+1F50B (a surrogate pair), ASCII.
    EXPECT_EQ(ioctl::Utf16LeToUtf8(Units({0x00E9, 0x4E2D, 0xD83D, 0xDD0B, 'x'})),
              "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x94\x8B"
              "x");
    EXPECT_EQ(ioctl::Utf16LeToUtf8(Units({0xD83D, 'x'})), "?x");     // high alone
    EXPECT_EQ(ioctl::Utf16LeToUtf8(Units({'x', 0xDD0B})), "x?");     // low alone
    EXPECT_EQ(ioctl::Utf16LeToUtf8(Units({0xDD0B, 0xD83D})), "??");  // the wrong order
    EXPECT_EQ(ioctl::Utf16LeToUtf8(Units({0xD83D, 0xD83D, 0xDD0B})), "?\xF0\x9F\x94\x8B");
    EXPECT_EQ(ioctl::Utf16LeToUtf8(Units({'a', 0xD83D})), "a?");  // high at the end
    EXPECT_EQ(ioctl::Utf16LeToUtf8(Units({0x07FF, 0x0800, 0xFFFF})),
              "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    // C1 controls (U+0080-U+009F) are "?"; U+007F and U+00A0 are left to the page's rules.
    EXPECT_EQ(ioctl::Utf16LeToUtf8(Units({0x7F, 0x80, 0x9B, 0x9F, 0xA0})), "\x7F???\xC2\xA0");
}

}  // namespace
