#include "disk/smart_attributes.h"

#include <gtest/gtest.h>

#include "tests/support/test_sectors.h"

namespace {

using disktest::PutAttribute;

TEST(WalkSmartAttributes, TakesTheLowBytesOfTheRawValue) {
    auto sector = disktest::SmartSector();
    PutAttribute(sector, 0, 9, {0x70, 0x11, 0x01, 0x00, 0x00, 0x00});    // 69 744 hours
    PutAttribute(sector, 1, 12, {0xD1, 0x01, 0x00, 0x00, 0x00, 0x00});   // 465
    PutAttribute(sector, 2, 194, {0x23, 0x00, 0x0F, 0x00, 0x2D, 0x00});  // 35, min 15, max 45
    const auto counters = disk::WalkSmartAttributes(sector);
    EXPECT_EQ(counters.powerOnHours, 4464);
    EXPECT_EQ(counters.powerCycles, 465);
    EXPECT_EQ(counters.temperatureCelsius, 35);

    PutAttribute(sector, 0, 9, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    PutAttribute(sector, 2, 194, {0xFF, 0x7F, 0, 0, 0, 0});
    EXPECT_EQ(disk::WalkSmartAttributes(sector).powerOnHours, 65535);
    EXPECT_EQ(disk::WalkSmartAttributes(sector).temperatureCelsius, 255);
}

TEST(WalkSmartAttributes, WearCounters) {
    auto sector = disktest::SmartSector();
    // Attribute 5 as Seagate and Samsung drives pack it: the count in the low 16 bits,
    // vendor data above (smartctl shows "22 (0 4)").
    PutAttribute(sector, 0, 5, {0x16, 0x00, 0x04, 0x00, 0x00, 0x00});
    // 197 and 198 beyond 32 bits: 2^32 + 1 and 0xAB_0000_0102.
    PutAttribute(sector, 1, 197, {0x01, 0x00, 0x00, 0x00, 0x01, 0x00});
    PutAttribute(sector, 2, 198, {0x02, 0x01, 0x00, 0x00, 0x00, 0xAB});
    auto counters = disk::WalkSmartAttributes(sector);
    EXPECT_EQ(counters.reallocatedSectors, 22);
    EXPECT_EQ(counters.pendingSectors, 4294967297ull);
    EXPECT_EQ(counters.offlineUncorrectable, 0xAB0000000102ull);

    // All 48 bits set, and the reserved byte behind them is not part of the value.
    PutAttribute(sector, 1, 197, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    sector[2 + 12 * 1 + 11] = 0x7F;
    PutAttribute(sector, 0, 5, {0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF});
    counters = disk::WalkSmartAttributes(sector);
    EXPECT_EQ(counters.pendingSectors, 281474976710655ull);
    EXPECT_EQ(counters.reallocatedSectors, 0x1234);

    // Absent wear attributes stay absent; present ones at zero read 0.
    auto healthy = disktest::SmartSector();
    PutAttribute(healthy, 3, 5, {0, 0, 0, 0, 0, 0});
    counters = disk::WalkSmartAttributes(healthy);
    EXPECT_EQ(counters.reallocatedSectors, 0);
    EXPECT_FALSE(counters.pendingSectors);
    EXPECT_FALSE(counters.offlineUncorrectable);
}

TEST(WalkSmartAttributes, AbsentDiffersFromZero) {
    auto sector = disktest::SmartSector();
    PutAttribute(sector, 4, 12, {0, 0, 0, 0, 0, 0});
    const auto counters = disk::WalkSmartAttributes(sector);
    EXPECT_EQ(counters.powerCycles, 0);
    EXPECT_FALSE(counters.powerOnHours);
    EXPECT_FALSE(counters.temperatureCelsius);
    // 190 is a temperature too on some drives, but only 194 is read.
    PutAttribute(sector, 5, 190, {31, 0, 31, 31, 0, 0});
    EXPECT_FALSE(disk::WalkSmartAttributes(sector).temperatureCelsius);
}

TEST(WalkSmartAttributes, LaterEntryWinsAndAllThirtyAreWalked) {
    auto sector = disktest::SmartSector();
    PutAttribute(sector, 3, 12, {0x10, 0, 0, 0, 0, 0});
    PutAttribute(sector, 7, 0, {0x99, 0, 0, 0, 0, 0});       // an empty entry in between
    PutAttribute(sector, 29, 12, {0x20, 0x01, 0, 0, 0, 0});  // the very last entry
    EXPECT_EQ(disk::WalkSmartAttributes(sector).powerCycles, 0x120);
}

TEST(WalkSmartAttributes, NothingPastTheThirtiethEntry) {
    auto sector = disktest::SmartSector();
    PutAttribute(sector, 30, 194, {40, 0, 0, 0, 0, 0});  // from byte 362 on
    PutAttribute(sector, 31, 9, {1, 0, 0, 0, 0, 0});
    const auto counters = disk::WalkSmartAttributes(sector);
    EXPECT_FALSE(counters.temperatureCelsius);
    EXPECT_FALSE(counters.powerOnHours);
}

TEST(WalkSmartAttributes, OnlyAWholeSector) {
    auto sector = disktest::SmartSector();
    PutAttribute(sector, 0, 9, {5, 0, 0, 0, 0, 0});
    EXPECT_FALSE(disk::WalkSmartAttributes(std::span(sector).first(511)).powerOnHours);
    sector.push_back(0);
    EXPECT_FALSE(disk::WalkSmartAttributes(sector).powerOnHours);
    EXPECT_FALSE(disk::WalkSmartAttributes({}).powerOnHours);
}

}  // namespace
