#include "platform/sysfs/dmi_folder_source.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

// An SMBIOS 3 entry point of version `major`.`minor` (0x18 bytes).
std::vector<std::uint8_t> Sm3(std::uint8_t major, std::uint8_t minor) {
    std::vector<std::uint8_t> entry = {'_', 'S', 'M', '3', '_'};
    entry.resize(0x18, 0);
    entry[0x06] = 0x18;
    entry[0x07] = major;
    entry[0x08] = minor;
    return entry;
}

TEST(DmiFolderSmbiosSource, EachFailureStateOfTheFolder) {
    testsupport::CTempDir dir;
    platform::CDmiFolderSmbiosSource source(dir.Path().string());
    // No entry point: the tables cannot be reached.
    auto tables = source.ReadTables();
    EXPECT_FALSE(tables.bReached);
    EXPECT_FALSE(tables.major);

    // An entry point without a valid anchor: reached, but no SMBIOS data.
    dir.Write("smbios_entry_point", "_XX_abc");
    tables = source.ReadTables();
    EXPECT_TRUE(tables.bReached);
    EXPECT_FALSE(tables.major);
    EXPECT_FALSE(tables.table);

    // A valid entry point without a table: the version alone.
    dir.Write("smbios_entry_point", Sm3(3, 2));
    tables = source.ReadTables();
    EXPECT_TRUE(tables.bReached);
    EXPECT_EQ(tables.major, 3);
    EXPECT_EQ(tables.minor, 2);
    EXPECT_FALSE(tables.table);

    dir.Write("DMI", std::vector<std::uint8_t>{0x7F, 4, 0, 0, 0, 0});
    tables = source.ReadTables();
    ASSERT_TRUE(tables.table);
    EXPECT_EQ(tables.table->size(), 6u);
}

TEST(DmiFolderSmbiosSource, TooLongATableReachesTheDecoderAtLeastAtItsLimit) {
    testsupport::CTempDir dir;
    dir.Write("smbios_entry_point", Sm3(3, 0));
    dir.Write("DMI", std::vector<std::uint8_t>(70000, 0x7F));
    platform::CDmiFolderSmbiosSource source(dir.Path().string());
    const auto tables = source.ReadTables();
    ASSERT_TRUE(tables.table);
    EXPECT_GE(tables.table->size(), 64000u);  // the decoder refuses it with its message
}

TEST(DmiFolderSmbiosSource, SavedCopyMayNameTheEntryPointWithoutPrefix) {
    testsupport::CTempDir dir;
    dir.Write("entry_point", Sm3(2, 8));
    platform::CDmiFolderSmbiosSource source(dir.Path().string());
    EXPECT_EQ(source.ReadTables().minor, 8);
    dir.Write("smbios_entry_point", Sm3(3, 1));  // the sysfs name comes first
    EXPECT_EQ(source.ReadTables().minor, 1);
}

}  // namespace
