#include <gtest/gtest.h>

#include "platform/smbios_source.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(SysfsSmbiosSource, ReadsEachPartOnItsOwn) {
    testsupport::CTempDir dir;
    platform::CSysfsSmbiosSource source(dir.Path().string());
    auto tables = source.ReadTables();
    EXPECT_FALSE(tables.entryPoint);
    EXPECT_FALSE(tables.table);

    dir.Write("smbios_entry_point", "_SM3_abc");
    tables = source.ReadTables();
    ASSERT_TRUE(tables.entryPoint);
    EXPECT_EQ(tables.entryPoint->size(), 8u);
    EXPECT_FALSE(tables.table);  // entry point there, table not: versions without data

    dir.Write("DMI", std::vector<std::uint8_t>(70000, 0x7F));
    tables = source.ReadTables();
    ASSERT_TRUE(tables.table);
    EXPECT_EQ(tables.table->size(), 70000u);  // a long table reaches the reader, which refuses it
}

TEST(SysfsSmbiosSource, SavedCopyMayNameTheEntryPointWithoutPrefix) {
    testsupport::CTempDir dir;
    dir.Write("entry_point", "_SM_xyz");
    platform::CSysfsSmbiosSource source(dir.Path().string());
    auto tables = source.ReadTables();
    ASSERT_TRUE(tables.entryPoint);
    EXPECT_EQ(tables.entryPoint->size(), 7u);
    dir.Write("smbios_entry_point", "_SM3_");  // the sysfs name comes first
    tables = source.ReadTables();
    ASSERT_TRUE(tables.entryPoint);
    EXPECT_EQ(tables.entryPoint->size(), 5u);
}

}  // namespace
