#include "disk/nvme_health.h"

#include <gtest/gtest.h>

#include "tests/support/test_sectors.h"

namespace {

disk::NvmeCounter Counter(std::initializer_list<std::uint8_t> bytes) {
    disk::NvmeCounter counter{};
    std::size_t i = 0;
    for (std::uint8_t b : bytes) counter[i++] = b;
    return counter;
}

TEST(NvmeIdentity, TrimsBlankPaddedFields) {
    auto identify =
        disktest::NvmeIdentifySector("THNSN5512GPU7 TOSHIBA", "        37RSDEADBEEF", "410557LA");
    auto identity = disk::DecodeNvmeIdentity(identify);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->strModel, "THNSN5512GPU7 TOSHIBA");
    EXPECT_EQ(identity->strSerial, "37RSDEADBEEF");
    EXPECT_EQ(identity->strFirmware, "410557LA");  // full width, and the next byte is not taken

    // Full-width neighbours: serial ends at byte 23, model at 63.
    identify = disktest::NvmeIdentifySector("M234567890123456789012345678901234567890",
                                            "S2345678901234567890", "F2345678");
    identify[72] = 'X';  // first byte after the firmware field
    identity = disk::DecodeNvmeIdentity(identify);
    ASSERT_TRUE(identity);
    EXPECT_EQ(identity->strSerial, "S2345678901234567890");
    EXPECT_EQ(identity->strModel, "M234567890123456789012345678901234567890");
    EXPECT_EQ(identity->strFirmware, "F2345678");

    // A NUL ends a field early.
    identify[64 + 3] = 0;
    EXPECT_EQ(disk::DecodeNvmeIdentity(identify)->strFirmware, "F23");
}

TEST(NvmeIdentity, OnlyTheWholeStructure) {
    const auto identify = disktest::NvmeIdentifySector("M", "S", "F");
    EXPECT_FALSE(disk::DecodeNvmeIdentity(std::span(identify).first(4095)));
    EXPECT_FALSE(disk::DecodeNvmeIdentity(std::span(identify).first(512)));
    EXPECT_FALSE(disk::DecodeNvmeIdentity({}));
}

TEST(NvmeHealth, ReadsTemperatureAndCountersAtTheirOffsets) {
    const auto log = disktest::NvmeHealthLog(330, 106, 28414);
    const auto health = disk::DecodeNvmeHealth(log);
    ASSERT_TRUE(health);
    EXPECT_EQ(health->temperatureKelvin, 330);
    EXPECT_EQ(disk::CounterToDecimal(health->powerCycles), "106");
    EXPECT_EQ(disk::CounterToDecimal(health->powerOnHours), "28414");  // not the 91 after it

    EXPECT_EQ(health->availableSparePercent, 100);
    EXPECT_EQ(health->percentageUsed, 0);
    EXPECT_EQ(disk::CounterToDecimal(health->mediaErrors), "0");

    EXPECT_FALSE(disk::DecodeNvmeHealth(std::span(log).first(511)));
    EXPECT_FALSE(disk::DecodeNvmeHealth(std::vector<std::uint8_t>(513, 0)));
}

TEST(NvmeHealth, WearFields) {
    auto log = disktest::NvmeHealthLog(300, 1, 2);
    log[0] = 0x11;  // critical warning: spare below threshold, persistent memory read-only
    log[3] = 7;     // available spare, below its threshold in byte 4
    log[4] = 10;
    log[5] = 255;   // percentage used passes 100 on a drive past its rated life
    log[6] = 0x55;  // reserved, not part of it
    // Media errors: 2^64 + 2, which needs more than 64 bits; 0xCC in the next field.
    disktest::PutLe(log, 160, 16, 2);
    log[168] = 1;
    log[176] = 0xCC;
    const auto health = disk::DecodeNvmeHealth(log);
    ASSERT_TRUE(health);
    EXPECT_EQ(health->criticalWarning, 0x11);
    EXPECT_EQ(health->availableSparePercent, 7);
    EXPECT_EQ(health->spareThresholdPercent, 10);
    EXPECT_EQ(health->percentageUsed, 255);
    EXPECT_EQ(disk::CounterToDecimal(health->mediaErrors), "18446744073709551618");
    EXPECT_EQ(disk::CounterToDecimal(health->powerOnHours), "2");  // the fields around stay

    // The most significant byte of the error count, and nothing from the byte after it.
    log.assign(512, 0);
    log[175] = 0x80;
    log[159] = 0xFF;
    EXPECT_EQ(disk::CounterToDecimal(disk::DecodeNvmeHealth(log)->mediaErrors),
              "170141183460469231731687303715884105728");  // 2^127
}

TEST(NvmeHealth, CountersAreFull128BitDecimals) {
    EXPECT_EQ(disk::CounterToDecimal(Counter({})), "0");
    EXPECT_EQ(disk::CounterToDecimal(Counter({9})), "9");
    EXPECT_EQ(disk::CounterToDecimal(Counter({10})), "10");
    // 2^32 and 2^32 + 1: a 32-bit reading would give 0 and 1.
    EXPECT_EQ(disk::CounterToDecimal(Counter({0, 0, 0, 0, 1})), "4294967296");
    EXPECT_EQ(disk::CounterToDecimal(Counter({1, 0, 0, 0, 1})), "4294967297");
    // 2^64: beyond any 64-bit integer.
    EXPECT_EQ(disk::CounterToDecimal(Counter({0, 0, 0, 0, 0, 0, 0, 0, 1})), "18446744073709551616");
    // 2^64 - 1 and 2^128 - 1.
    EXPECT_EQ(disk::CounterToDecimal(Counter({255, 255, 255, 255, 255, 255, 255, 255})),
              "18446744073709551615");
    disk::NvmeCounter all{};
    all.fill(0xFF);
    EXPECT_EQ(disk::CounterToDecimal(all), "340282366920938463463374607431768211455");
    // The most significant byte alone: 2^120.
    disk::NvmeCounter top{};
    top[15] = 1;
    EXPECT_EQ(disk::CounterToDecimal(top), "1329227995784915872903807060280344576");
}

}  // namespace
