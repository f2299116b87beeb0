#include "platform/sysfs/smbios_entry_point.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe(Bytes& b, std::size_t off, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) b[off + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A 31-byte "_SM_" entry point (SMBIOS 2.x).
Bytes Sm2(std::uint8_t major, std::uint8_t minor, std::uint16_t length, std::uint32_t address) {
    Bytes b(0x1F, 0);
    const std::string anchor = "_SM_";
    std::copy(anchor.begin(), anchor.end(), b.begin());
    b[0x05] = 0x1F;
    b[0x06] = major;
    b[0x07] = minor;
    const std::string dmi = "_DMI_";
    std::copy(dmi.begin(), dmi.end(), b.begin() + 0x10);
    PutLe(b, 0x16, length, 2);
    PutLe(b, 0x18, address, 4);
    b[0x1E] = static_cast<std::uint8_t>(major << 4 | minor);
    return b;
}

// A 24-byte "_SM3_" entry point (SMBIOS 3.x).
Bytes Sm3(std::uint8_t major, std::uint8_t minor, std::uint32_t maxSize, std::uint64_t address) {
    Bytes b(0x18, 0);
    const std::string anchor = "_SM3_";
    std::copy(anchor.begin(), anchor.end(), b.begin());
    b[0x06] = 0x18;
    b[0x07] = major;
    b[0x08] = minor;
    PutLe(b, 0x0C, maxSize, 4);
    PutLe(b, 0x10, address, 8);
    return b;
}

// `dmidecode --dump-bin` layout: the entry point padded to 0x20, then the table.
Bytes Dump(Bytes entry, const Bytes& table) {
    entry.resize(0x20, 0);
    entry.insert(entry.end(), table.begin(), table.end());
    return entry;
}

Bytes Table(std::size_t n) {
    Bytes t(n);
    for (std::size_t i = 0; i < n; ++i) t[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return t;
}

TEST(EntryPoint, Anchors) {
    auto sm3 = platform::ParseEntryPoint(Sm3(3, 2, 0x1234, 0x7AB0C000DEADull));
    ASSERT_TRUE(sm3);
    EXPECT_EQ(sm3->major, 3);
    EXPECT_EQ(sm3->minor, 2);
    EXPECT_EQ(sm3->tableLength, 0x1234u);
    EXPECT_EQ(sm3->tableAddress, 0x7AB0C000DEADull);
    EXPECT_TRUE(sm3->is64Bit);

    auto sm2 = platform::ParseEntryPoint(Sm2(2, 7, 0x0ABC, 0xDAA9D000u));
    ASSERT_TRUE(sm2);
    EXPECT_EQ(sm2->major, 2);
    EXPECT_EQ(sm2->minor, 7);
    EXPECT_EQ(sm2->tableLength, 0x0ABCu);
    EXPECT_EQ(sm2->tableAddress, 0xDAA9D000u);
    EXPECT_FALSE(sm2->is64Bit);

    // The legacy DMI entry point carries its version as BCD.
    Bytes dmi(0x0F, 0);
    const std::string anchor = "_DMI_";
    std::copy(anchor.begin(), anchor.end(), dmi.begin());
    PutLe(dmi, 0x06, 0x0456, 2);
    PutLe(dmi, 0x08, 0x000F0000, 4);
    dmi[0x0E] = 0x21;
    auto legacy = platform::ParseEntryPoint(dmi);
    ASSERT_TRUE(legacy);
    EXPECT_EQ(legacy->major, 2);
    EXPECT_EQ(legacy->minor, 1);
    EXPECT_EQ(legacy->tableLength, 0x0456u);
    EXPECT_EQ(legacy->tableAddress, 0x000F0000u);
}

TEST(EntryPoint, WrongAnchorOrTooShort) {
    Bytes wrong = Sm2(2, 7, 10, 0x20);
    wrong[3] = 'X';
    EXPECT_FALSE(platform::ParseEntryPoint(wrong));
    EXPECT_FALSE(platform::ParseEntryPoint(Bytes{}));
    EXPECT_FALSE(platform::ParseEntryPoint(Bytes{'_', 'S', 'M'}));
    Bytes lower = Sm3(3, 0, 10, 0x20);
    lower[1] = 's';
    EXPECT_FALSE(platform::ParseEntryPoint(lower));
    // Each layout, one byte short of the last field read.
    Bytes sm3 = Sm3(3, 0, 10, 0x20);
    sm3.resize(0x17);
    EXPECT_FALSE(platform::ParseEntryPoint(sm3));
    Bytes sm2 = Sm2(2, 7, 10, 0x20);
    sm2.resize(0x1B);
    EXPECT_FALSE(platform::ParseEntryPoint(sm2));
    sm2 = Sm2(2, 7, 10, 0x20);
    sm2.resize(0x1C);
    EXPECT_TRUE(platform::ParseEntryPoint(sm2));
    Bytes dmi = {'_', 'D', 'M', 'I', '_', 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(platform::ParseEntryPoint(dmi));
}

TEST(DumpFile, TableAtTheAddressOrAt0x20) {
    const Bytes table = Table(300);
    std::string err;

    // dmidecode's own layout: address 0x20, exact length.
    auto split = platform::SplitDumpFile(Dump(Sm2(2, 6, 300, 0x20), table), &err);
    ASSERT_TRUE(split) << err;
    EXPECT_EQ(*split->table, table);
    EXPECT_TRUE(split->bReached);
    EXPECT_EQ(split->major, 2);
    EXPECT_EQ(split->minor, 6);

    // Trailing bytes past the announced length are not part of the table.
    Bytes longer = Dump(Sm2(2, 6, 300, 0x20), table);
    longer.insert(longer.end(), 50, 0xEE);
    split = platform::SplitDumpFile(longer, &err);
    ASSERT_TRUE(split) << err;
    EXPECT_EQ(*split->table, table);

    // Addresses that cannot be file offsets: a BIOS-area address, a live physical address,
    // one inside the entry point. The table is read at 0x20.
    for (std::uint32_t address : {0x000E0020u, 0xDAA9D000u, 0x00000010u, 0u}) {
        split = platform::SplitDumpFile(Dump(Sm2(2, 3, 300, address), table), &err);
        ASSERT_TRUE(split) << std::hex << address << ": " << err;
        EXPECT_EQ(*split->table, table) << std::hex << address;
    }

    // An address inside the file, behind the entry point, is honoured.
    Bytes gap = Sm2(2, 7, 300, 0x40);
    gap.resize(0x40, 0xAA);
    gap.insert(gap.end(), table.begin(), table.end());
    split = platform::SplitDumpFile(gap, &err);
    ASSERT_TRUE(split) << err;
    EXPECT_EQ(*split->table, table);
}

TEST(DumpFile, LengthsAndShortFiles) {
    const Bytes table = Table(300);
    std::string err;

    // "_SM3_" gives a maximum: a table that stops short of it is taken as it is.
    auto split = platform::SplitDumpFile(Dump(Sm3(3, 5, 5809, 0x20), table), &err);
    ASSERT_TRUE(split) << err;
    EXPECT_EQ(*split->table, table);
    split = platform::SplitDumpFile(Dump(Sm3(3, 5, 100, 0x20), table), &err);
    ASSERT_TRUE(split) << err;
    EXPECT_EQ(*split->table, Bytes(table.begin(), table.begin() + 100));
    split = platform::SplitDumpFile(Dump(Sm3(3, 0, 0xFFFFFFFFu, 0x20), {}), &err);
    ASSERT_TRUE(split) << err;
    EXPECT_TRUE(split->table->empty());

    // "_SM_" gives the exact length: a file that ends before it is refused.
    err.clear();
    EXPECT_FALSE(platform::SplitDumpFile(Dump(Sm2(2, 7, 301, 0x20), table), &err));
    EXPECT_NE(err.find("300 of 301"), std::string::npos) << err;

    // Files shorter than their entry point, or than the 0x20 bytes before any table.
    err.clear();
    Bytes cut = Sm2(2, 7, 10, 0x20);
    cut.resize(0x10);
    EXPECT_FALSE(platform::SplitDumpFile(cut, &err));
    EXPECT_NE(err.find("too short"), std::string::npos) << err;
    err.clear();
    EXPECT_FALSE(platform::SplitDumpFile(Sm2(2, 7, 10, 0x20), &err));  // 31 bytes, no table
    EXPECT_FALSE(err.empty());
    err.clear();
    EXPECT_FALSE(platform::SplitDumpFile(Bytes{}, &err));
    EXPECT_NE(err.find("anchor"), std::string::npos) << err;
    err.clear();
    EXPECT_FALSE(platform::SplitDumpFile(Table(400), &err));
    EXPECT_NE(err.find("anchor"), std::string::npos) << err;
    // No error text wanted: still no crash.
    EXPECT_FALSE(platform::SplitDumpFile(Table(10), nullptr));
}

}  // namespace
