#include "smbios/smbios.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/smbios_source.h"
#include "tests/support/smbios_table_builder.h"
#include "text/gbk.h"

namespace {

using smbios::CFormatted;
using smbios::SmbiosTableBuilder;

struct CMessages {
    std::vector<std::pair<std::string, std::string>> shown;
    platform::Notifier Notifier() {
        return [this](std::string_view text, std::string_view caption) {
            shown.emplace_back(text, caption);
        };
    }
};

std::unique_ptr<CSMBios> Decode(platform::RawSmbios tables, CMessages* messages = nullptr) {
    platform::CFixedSmbiosSource source(std::move(tables));
    CMessages unexpected;
    auto smbios =
        std::make_unique<CSMBios>(source, (messages ? messages : &unexpected)->Notifier());
    EXPECT_EQ(source.Reads(), 1);
    EXPECT_TRUE(unexpected.shown.empty());
    return smbios;
}

std::unique_ptr<CSMBios> Decode(const SmbiosTableBuilder& builder) {
    return Decode(builder.Tables());
}

CFormatted Bios(std::uint8_t romSize, std::uint8_t length = 0x18) {
    return CFormatted(0, length).Byte(0x04, 1).Byte(0x05, 2).Byte(0x08, 3).Byte(0x09, romSize);
}

CFormatted Memory(std::uint16_t size, std::uint8_t type = 0x18, std::uint8_t length = 0x28) {
    return CFormatted(17, length)
        .Word(0x0C, size)
        .Byte(0x12, type)
        .Word(0x15, 1600)
        .Byte(0x17, 1)
        .Byte(0x18, 2)
        .Byte(0x1A, 3);
}

CFormatted Cache(std::uint16_t configuration, std::uint16_t installed) {
    return CFormatted(7, 0x13).Word(0x05, configuration).Word(0x09, installed);
}

// The structure that the walk must still reach when everything before it went right.
CFormatted Board() {
    return CFormatted(2, 0x08).Byte(0x04, 1);
}

bool AllTextsEmpty(const CSMBios& s) {
    for (const std::string* t : {&s.m_strBatteryDate,       &s.m_strBatteryDesignVoltage,
                                 &s.m_strL3Cache,           &s.m_strL2Cache,
                                 &s.m_strL1Cache,           &s.m_strCpuThreads,
                                 &s.m_strCpuCores,          &s.m_strCpuMaxSpeed,
                                 &s.m_strCpuExternalClock,  &s.m_strCpuVersion,
                                 &s.m_strCpuManufacturer,   &s.m_strBoardSerial,
                                 &s.m_strBoardVersion,      &s.m_strBoardProduct,
                                 &s.m_strBoardManufacturer, &s.m_strSystemFamily,
                                 &s.m_strSystemSku,         &s.m_strSystemSerial,
                                 &s.m_strSystemUuid,        &s.m_strSystemVersion,
                                 &s.m_strSystemProduct,     &s.m_strSystemManufacturer,
                                 &s.m_strBiosRomSize,       &s.m_strBiosDate,
                                 &s.m_strBiosVersion,       &s.m_strBiosVendor}) {
        if (!t->empty()) return false;
    }
    return s.m_nMemoryCount == 0 && s.m_memory.empty();
}

TEST(SmbiosFetch, FailureRowsOfTheSource) {
    SmbiosTableBuilder good;
    good.Version(2, 7).Add(Bios(0x0F), {"V", "1.0", "01/02/2003"});

    // Tables unreachable: failure, nothing shown, nothing taken over, even where the source
    // had more to give.
    platform::RawSmbios unreached = good.Tables();
    unreached.bReached = false;
    auto s = Decode(unreached);
    EXPECT_EQ(s->m_byMajorVersion, 0);
    EXPECT_EQ(s->m_byMinorVersion, 0);
    EXPECT_EQ(s->m_byTableMajor, 0);
    EXPECT_EQ(s->m_dwTableLength, 0u);
    EXPECT_TRUE(AllTextsEmpty(*s));

    // Reached, but no instance (no version): success with nothing read.
    platform::RawSmbios noInstance;
    noInstance.bReached = true;
    s = Decode(noInstance);
    EXPECT_EQ(s->m_byMajorVersion, 0);
    EXPECT_EQ(s->m_dwTableLength, 0u);
    EXPECT_TRUE(AllTextsEmpty(*s));

    // The major version alone: it is kept, the minor stays 0, nothing is decoded.
    platform::RawSmbios majorOnly;
    majorOnly.bReached = true;
    majorOnly.major = 3;
    s = Decode(majorOnly);
    EXPECT_EQ(s->m_byMajorVersion, 3);
    EXPECT_EQ(s->m_byMinorVersion, 0);
    EXPECT_TRUE(AllTextsEmpty(*s));

    // Entry point read, table missing: the version shows, nothing else.
    platform::RawSmbios noTable;
    noTable.bReached = true;
    noTable.major = 2;
    noTable.minor = 7;
    s = Decode(noTable);
    EXPECT_EQ(s->m_byMajorVersion, 2);
    EXPECT_EQ(s->m_byMinorVersion, 7);
    EXPECT_EQ(s->m_dwTableLength, 0u);
    EXPECT_TRUE(AllTextsEmpty(*s));

    // Everything there.
    s = Decode(good);
    EXPECT_EQ(s->m_byMajorVersion, 2);
    EXPECT_EQ(s->m_byMinorVersion, 7);
    EXPECT_EQ(s->m_strBiosVendor, "V");
}

TEST(SmbiosFetch, TableOfBufferSizeIsRefusedWithTheMessage) {
    SmbiosTableBuilder builder;
    builder.Version(2, 7).Add(Bios(0x0F), {"V", "1.0", "d"});
    builder.MutableTable().resize(CSMBios::kMaxTableBytes, 0);

    CMessages messages;
    auto s = Decode(builder.Tables(), &messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first,
              "Return global_buffer would overflow.  Abort initialization of raw SMBIOS data.\n");
    EXPECT_EQ(messages.shown[0].second, "\xCC\xE1\xCA\xBE");  // "提示" in GBK
    EXPECT_EQ(s->m_byMajorVersion, 0);                        // versions not taken over
    EXPECT_EQ(s->m_byMinorVersion, 0);
    EXPECT_EQ(s->m_dwTableLength, 0u);
    EXPECT_TRUE(AllTextsEmpty(*s));

    // Calling the fetch again directly reports the failure as its result.
    platform::CFixedSmbiosSource source(builder.Tables());
    EXPECT_FALSE(s->FetchRawTable(source, messages.Notifier()));
    EXPECT_EQ(messages.shown.size(), 2u);
    // An empty notifier is not called (and does not throw).
    EXPECT_FALSE(s->FetchRawTable(source, platform::Notifier()));
}

TEST(SmbiosFetch, LargestTableIsCopiedWholeAndDecodedToItsEnd) {
    SmbiosTableBuilder builder;
    builder.Version(3, 0).Add(Bios(0x0F), {"Vendor", "1.0", "d"});
    // An OEM structure whose one string fills the table up to the last structure.
    const std::size_t boardBytes = 8 + 2 + 1;  // formatted, "B\0", closing zero
    const std::size_t oemString =
        CSMBios::kMaxTableBytes - 1 - builder.Size() - (4 + 2) - boardBytes;
    builder.Add(CFormatted(0x80, 4), {std::string(oemString, 'x')});
    builder.Add(Board(), {"B"});
    ASSERT_EQ(builder.Size(), CSMBios::kMaxTableBytes - 1);

    CMessages messages;
    auto s = Decode(builder.Tables(), &messages);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(s->m_dwTableLength, CSMBios::kMaxTableBytes - 1);
    EXPECT_EQ(s->m_strBiosVendor, "Vendor");
    EXPECT_EQ(s->m_strBoardManufacturer, "B");
}

TEST(SmbiosWalk, StructureAndStringSetBoundaries) {
    SmbiosTableBuilder builder;
    builder.Version(2, 7)
        .Add(CFormatted(0x80, 4))               // no strings: Length + 2 bytes
        .Add(CFormatted(127, 4))                // End-of-Table does not end the walk
        .Add(Board(), {"After end-of-table"});  // no type 127 at the end either
    auto s = Decode(builder);
    EXPECT_EQ(s->FormattedLength(0), 4);
    EXPECT_EQ(s->StringSetLength(0), 2u);
    EXPECT_EQ(s->FormattedLength(6), 4);
    EXPECT_EQ(s->m_table[6], 127);
    EXPECT_EQ(s->StringSetLength(12), std::string("After end-of-table").size() + 2);
    EXPECT_EQ(s->m_strBoardManufacturer, "After end-of-table");
    EXPECT_EQ(s->m_strBoardProduct, "");  // string number 0

    // A structure with one empty string first: "\0" then "abc" is not an empty set.
    SmbiosTableBuilder oddSet;
    oddSet.AddRaw({2, 8, 0, 0, 2, 0, 0, 0, 0, 'a', 'b', 'c', 0, 0});
    s = Decode(oddSet);
    EXPECT_EQ(s->StringSetLength(0), 6u);
    EXPECT_EQ(s->GetString(0, 1), "");
    EXPECT_EQ(s->GetString(0, 2), "abc");
    EXPECT_EQ(s->m_strBoardManufacturer, "abc");
}

TEST(SmbiosWalk, ShortLengthEndsTheWalk) {
    // Length 0, 1, 2 or 3 cannot hold a header; the next structure's start is unknown, so
    // nothing from there on is decoded, and the walk ends instead of looping in place.
    for (std::uint8_t length : {0, 1, 2, 3}) {
        SmbiosTableBuilder builder;
        builder.Add(Board(), {"First"});
        builder.AddRaw({2, length, 0, 0});
        builder.Add(CFormatted(0, 0x18).Byte(0x04, 1), {"Later"});
        auto s = Decode(builder);
        EXPECT_EQ(s->m_strBoardManufacturer, "First") << int(length);
        EXPECT_EQ(s->m_strBiosVendor, "") << int(length);
    }
}

TEST(SmbiosWalk, StructureThatDoesNotEndInsideTheTableEndsTheWalk) {
    // The last structure's string set misses its closing zeros: the last string has no NUL
    // at all, or the set lacks its second zero. It is not decoded; the one before it is.
    const std::vector<std::vector<std::uint8_t>> unclosed = {
        {2, 8, 0, 0, 1, 2, 0, 0, 'M', 'a', 'k', 'e', 'r', 0, 'P', 'r', 'o'},
        {2, 8, 0, 0, 1, 2, 0, 0, 'M', 'a', 'k', 'e', 'r', 0, 'P', 'r', 'o', 0},
        {2, 8, 0, 0, 1, 2, 0, 0},  // no set at all
        {2, 8, 0, 0, 1, 2},        // formatted area cut off
    };
    for (const auto& tail : unclosed) {
        SmbiosTableBuilder builder;
        builder.Add(CFormatted(0, 0x18).Byte(0x04, 1), {"Firmware"});
        builder.AddRaw(tail);
        auto s = Decode(builder);
        EXPECT_EQ(s->m_strBiosVendor, "Firmware") << tail.size();
        EXPECT_EQ(s->m_strBoardManufacturer, "") << tail.size();
        EXPECT_EQ(s->m_strBoardProduct, "") << tail.size();
    }

    // A memory device whose Length runs past the table, then a header cut short: neither
    // counts, and neither ends up as a record read from the zeros behind the table.
    SmbiosTableBuilder longer;
    longer.Add(Board(), {"B"});
    longer.AddRaw({17, 0x28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x04});
    auto s = Decode(longer);
    EXPECT_EQ(s->m_strBoardManufacturer, "B");
    EXPECT_EQ(s->m_nMemoryCount, 0);
    SmbiosTableBuilder cut;
    cut.Add(Board(), {"B"}).AddRaw({2, 8, 0});
    s = Decode(cut);
    EXPECT_EQ(s->m_strBoardManufacturer, "B");
}

TEST(SmbiosWalk, TableWithoutAnyTerminatorDecodesNothing) {
    // Memory devices back to back, every byte but type and Length non-zero: no string set
    // ever ends. Walking on behind each formatted area would turn every one into a module
    // whose strings run to the table's end (quadratic output from one table).
    SmbiosTableBuilder builder;
    std::vector<std::uint8_t> record(0x28, 0x01);
    record[0] = 17;
    record[1] = 0x28;
    for (int i = 0; i < 100; ++i) builder.AddRaw(record);
    auto s = Decode(builder);
    EXPECT_EQ(s->m_nMemoryCount, 0);
    EXPECT_TRUE(s->m_memory.empty());
    EXPECT_EQ(s->StringSetLength(0), 0u);
    EXPECT_EQ(s->GetString(0, 1).size(), 100u * 0x28 - 0x28);  // to the table's end, no further
}

TEST(SmbiosWalk, LookupsNeverReadBehindTheTable) {
    SmbiosTableBuilder builder;
    builder.Add(Board(), {"B"});
    builder.AddRaw({2, 8, 0, 0, 1, 0, 0, 0, 'E', 'n', 'd'});  // set without its zeros
    auto s = Decode(builder);
    const std::uint32_t end = s->m_dwTableLength;
    ASSERT_EQ(end, builder.Size());
    // Bytes behind the table that would close the set and lengthen its string if read.
    s->m_table[end] = 'X';
    s->m_table[end + 1] = 0;
    s->m_table[end + 2] = 0;
    EXPECT_EQ(s->StringSetLength(11), 0u);
    EXPECT_EQ(s->GetString(11, 1), "End");
    s->DecodeTable();
    EXPECT_EQ(s->m_strBoardManufacturer, "B");

    // Offsets at and past the table's end, and past the buffer's, read nothing.
    s->m_table[end + 1] = 0xFF;  // a Length byte behind the table
    EXPECT_EQ(s->FormattedLength(end), 0);
    EXPECT_EQ(s->FormattedLength(end - 1), 0);  // its header would reach behind the table
    EXPECT_EQ(s->StringSetLength(end), 0u);
    EXPECT_EQ(s->GetString(end, 1), "");
    EXPECT_EQ(s->FormattedLength(CSMBios::kMaxTableBytes - 1), 0);
    EXPECT_EQ(s->FormattedLength(CSMBios::kMaxTableBytes), 0);
    EXPECT_EQ(s->StringSetLength(CSMBios::kMaxTableBytes + 5), 0u);
    EXPECT_EQ(s->GetString(CSMBios::kMaxTableBytes + 5, 1), "");
    EXPECT_EQ(s->GetString(0xFFFFFFFFu, 1), "");

    // The largest table: a set closed by the table's own last two bytes is whole.
    SmbiosTableBuilder full;
    const std::size_t fill = CSMBios::kMaxTableBytes - 1 - 4 - 8 - 5;
    full.Add(CFormatted(0x80, 4), {std::string(fill - 2, 'y')});
    full.Add(Board(), {"End"});
    ASSERT_EQ(full.Size(), CSMBios::kMaxTableBytes - 1);
    s = Decode(full);
    EXPECT_EQ(s->m_strBoardManufacturer, "End");
}

TEST(SmbiosStrings, NumbersAndBytes) {
    std::vector<std::string> many;
    for (int i = 1; i <= 40; ++i) many.push_back("s" + std::to_string(i));
    many[0] = std::string(1500, 'L');  // longer than any fixed string slot
    many[1] = "\xC1\xAA\xCF\xEB  ";    // GBK bytes and trailing blanks, kept as they are
    SmbiosTableBuilder builder;
    builder.Add(CFormatted(2, 8).Byte(0x04, 1).Byte(0x05, 2).Byte(0x06, 40).Byte(0x07, 41), many);
    auto s = Decode(builder);
    EXPECT_EQ(s->m_strBoardManufacturer, many[0]);
    EXPECT_EQ(s->m_strBoardProduct, many[1]);
    EXPECT_EQ(s->m_strBoardVersion, "s40");  // past the 25th string
    EXPECT_EQ(s->m_strBoardSerial, "");      // one past the set
    EXPECT_EQ(s->GetString(0, 0), "");
    EXPECT_EQ(s->GetString(0, 255), "");
}

TEST(SmbiosFields, FieldsBeyondTheLengthAreAbsent) {
    SmbiosTableBuilder builder;
    builder
        .Version(2, 7)
        // 2.0 system structure: no UUID, SKU or family; the string set follows at 0x08.
        .Add(CFormatted(1, 0x08).Byte(0x04, 1).Byte(0x07, 2), {"Maker", "SN", "x", "y"})
        // 2.3 processor: no core or thread count.
        .Add(CFormatted(4, 0x23).Byte(0x07, 1).Word(0x14, 2400), {"Intel", "\x05", "\x06"})
        // A level-1 cache whose Installed Size is cut off after its first byte.
        .Add(CFormatted(7, 0x0A).Word(0x05, 0x0180).Word(0x09, 0x0020))
        // 2.3 battery without the SBDS date.
        .Add(CFormatted(22, 0x10).Word(0x0C, 11100), {"b"})
        // Memory devices of the 2.1 (0x15) and 2.3 (0x17) sizes.
        .Add(Memory(512, 0x12, 0x15), {"\x01", "\x02", "\x03"})
        .Add(Memory(1024, 0x12, 0x17), {"\x01", "\x02", "\x03"});
    auto s = Decode(builder);
    EXPECT_EQ(s->m_strSystemManufacturer, "Maker");
    EXPECT_EQ(s->m_strSystemSerial, "SN");
    EXPECT_EQ(s->m_strSystemUuid, "");
    EXPECT_EQ(s->m_strSystemSku, "");
    EXPECT_EQ(s->m_strSystemFamily, "");
    EXPECT_EQ(s->m_strCpuManufacturer, "Intel");
    EXPECT_EQ(s->m_strCpuMaxSpeed, "2400");
    EXPECT_EQ(s->m_strCpuCores, "");
    EXPECT_EQ(s->m_strCpuThreads, "");
    EXPECT_EQ(s->m_strL1Cache, "");
    EXPECT_EQ(s->m_strBatteryDate, "");
    EXPECT_EQ(s->m_strBatteryDesignVoltage, "11.100000");
    ASSERT_EQ(s->m_nMemoryCount, 2);
    EXPECT_EQ(s->m_memory[0].strSize, "512");
    EXPECT_EQ(s->m_memory[0].strType, "ddr");
    EXPECT_EQ(s->m_memory[0].strSpeed, "");
    EXPECT_EQ(s->m_memory[1].strSpeed, "1600");
    for (const MemoryDeviceText& m : s->m_memory) {
        EXPECT_EQ(m.strManufacturer, "");
        EXPECT_EQ(m.strSerialNumber, "");
        EXPECT_EQ(m.strPartNumber, "");
    }
}

TEST(SmbiosFields, BiosSystemBoardProcessor) {
    SmbiosTableBuilder builder;
    builder.Version(2, 7)
        .Add(Bios(0x0F), {"LENOVO", "G2ET86WW (2.06 )", "11/13/2012"})
        .Add(CFormatted(1, 0x1B)
                 .Bytes(0x04, {1, 2, 3, 4})
                 .Bytes(0x08, {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A,
                               0x0B, 0x0C, 0x0D, 0x0E, 0x0F})
                 .Byte(0x19, 5)
                 .Byte(0x1A, 6),
             {"LENOVO", "2347A49", "ThinkPad T430", "R9-XXXXX", "LENOVO_MT_2347", "ThinkPad"})
        .Add(CFormatted(2, 0x0F).Bytes(0x04, {1, 2, 3, 4}), {"LENOVO", "2347A49", "0B98", "1ZS"})
        .Add(CFormatted(4, 0x28)
                 .Byte(0x07, 1)
                 .Byte(0x10, 2)
                 .Word(0x12, 100)
                 .Word(0x14, 2900)
                 .Word(0x16, 2600)  // Current Speed, not shown
                 .Byte(0x23, 2)
                 .Byte(0x25, 4),
             {"Intel(R) Corporation", "Intel(R) Core(TM) i5-3320M CPU @ 2.60GHz"});
    auto s = Decode(builder);
    EXPECT_EQ(s->m_strBiosVendor, "LENOVO");
    EXPECT_EQ(s->m_strBiosVersion, "G2ET86WW (2.06 )");
    EXPECT_EQ(s->m_strBiosDate, "11/13/2012");
    EXPECT_EQ(s->m_strBiosRomSize, "1024");
    EXPECT_EQ(s->m_strSystemManufacturer, "LENOVO");
    EXPECT_EQ(s->m_strSystemProduct, "2347A49");
    EXPECT_EQ(s->m_strSystemVersion, "ThinkPad T430");
    EXPECT_EQ(s->m_strSystemSerial, "R9-XXXXX");
    EXPECT_EQ(s->m_strSystemUuid, "03020100-07060504-0b0a0908-0f0e0d0c");
    EXPECT_EQ(s->m_strSystemSku, "LENOVO_MT_2347");
    EXPECT_EQ(s->m_strSystemFamily, "ThinkPad");
    EXPECT_EQ(s->m_strBoardManufacturer, "LENOVO");
    EXPECT_EQ(s->m_strBoardProduct, "2347A49");
    EXPECT_EQ(s->m_strBoardVersion, "0B98");
    EXPECT_EQ(s->m_strBoardSerial, "1ZS");
    EXPECT_EQ(s->m_strCpuManufacturer, "Intel(R) Corporation");
    EXPECT_EQ(s->m_strCpuVersion, "Intel(R) Core(TM) i5-3320M CPU @ 2.60GHz");
    EXPECT_EQ(s->m_strCpuExternalClock, "100");
    EXPECT_EQ(s->m_strCpuMaxSpeed, "2900");
    EXPECT_EQ(s->m_strCpuCores, "2");
    EXPECT_EQ(s->m_strCpuThreads, "4");
}

TEST(SmbiosFields, UuidGroupsAreLittleEndianWords) {
    SmbiosTableBuilder builder;
    builder.Add(CFormatted(1, 0x19).Bytes(0x08, {0xDE, 0xAD, 0xBE, 0xEF, 0x12, 0x34, 0x56, 0x78,
                                                 0x9A, 0xBC, 0xDE, 0xF0, 0xFF, 0x00, 0xFF, 0x01}));
    EXPECT_EQ(Decode(builder)->m_strSystemUuid, "efbeadde-78563412-f0debc9a-01ff00ff");
}

TEST(SmbiosFields, LastStructureOfATypeWins) {
    SmbiosTableBuilder builder;
    builder.Version(2, 7)
        .Add(CFormatted(4, 0x28).Byte(0x10, 1).Byte(0x23, 8), {"Socket 1 CPU"})
        .Add(Cache(0x0180, 0x0020))  // L1 instruction, 32 KB
        .Add(Cache(0x0180, 0x0030))  // L1 data, 48 KB: this one is shown
        .Add(Cache(0x0181, 0x8040))  // L2, 64 KB granularity: 4096
        .Add(Cache(0x0182, 0x0010))  // L3, 16
        .Add(Cache(0x0183, 0x1234))  // level 4: no member
        .Add(CFormatted(4, 0x28).Byte(0x10, 1), {"Socket 2 CPU"});  // cores 0
    auto s = Decode(builder);
    EXPECT_EQ(s->m_strCpuVersion, "Socket 2 CPU");
    EXPECT_EQ(s->m_strCpuCores, "0");
    EXPECT_EQ(s->m_strL1Cache, "48");
    EXPECT_EQ(s->m_strL2Cache, "4096");
    EXPECT_EQ(s->m_strL3Cache, "16");
}

TEST(SmbiosFields, BiosRomSize) {
    auto rom = [](const CFormatted& bios) {
        SmbiosTableBuilder builder;
        builder.Add(bios, {"v", "1", "d"});
        return Decode(builder)->m_strBiosRomSize;
    };
    EXPECT_EQ(rom(Bios(0x0F)), "1024");
    EXPECT_EQ(rom(Bios(0x3F)), "4096");
    EXPECT_EQ(rom(Bios(0x00, 0x12)), "64");
    EXPECT_EQ(rom(Bios(0x0F, 0x09)), "");       // a structure too short for the byte
    EXPECT_EQ(rom(Bios(0xFF, 0x18)), "16384");  // no extended field
    EXPECT_EQ(rom(Bios(0xFF, 0x1A).Word(0x18, 0x0020)), "32768");    // 32 MB
    EXPECT_EQ(rom(Bios(0xFF, 0x1A).Word(0x18, 0x0010)), "16384");    // 16 MB
    EXPECT_EQ(rom(Bios(0xFF, 0x1A).Word(0x18, 0x4002)), "2097152");  // 2 GB
    EXPECT_EQ(rom(Bios(0xFF, 0x1A).Word(0x18, 0x8020)), "16384");    // undefined unit
    EXPECT_EQ(rom(Bios(0xFF, 0x1A).Word(0x18, 0x0000)), "0");        // as the firmware says
    // The extended field counts only behind the 0xFF byte.
    EXPECT_EQ(rom(Bios(0x7F, 0x1A).Word(0x18, 0x0020)), "8192");
}

TEST(SmbiosMemory, PopulatedDevicesInTableOrder) {
    SmbiosTableBuilder builder;
    builder.Version(2, 8);
    builder.Add(Memory(4096), {"Samsung", "S0", "P0"});
    builder.Add(Memory(0), {"Empty", "-", "-"});  // empty socket between two modules
    for (int i = 1; i <= 5; ++i) {
        const std::string n = std::to_string(i);
        builder.Add(Memory(static_cast<std::uint16_t>(1024 * i)), {"Maker" + n, "S" + n, "P" + n});
    }
    builder.Add(Board(), {"Board after the memory"});
    auto s = Decode(builder);
    ASSERT_EQ(s->m_nMemoryCount, 6);  // a fifth and sixth module are kept too
    ASSERT_EQ(s->m_memory.size(), 6u);
    EXPECT_EQ(s->m_memory[0].strManufacturer, "Samsung");
    EXPECT_EQ(s->m_memory[0].strSize, "4096");
    EXPECT_EQ(s->m_memory[0].strType, "DDR3");
    EXPECT_EQ(s->m_memory[0].strSpeed, "1600");
    EXPECT_EQ(s->m_memory[0].strSerialNumber, "S0");
    EXPECT_EQ(s->m_memory[0].strPartNumber, "P0");
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(s->m_memory[i].strManufacturer, "Maker" + std::to_string(i));
        EXPECT_EQ(s->m_memory[i].strSize, std::to_string(1024 * i));
        EXPECT_EQ(s->m_memory[i].strPartNumber, "P" + std::to_string(i));
    }
    EXPECT_EQ(s->m_strBoardManufacturer, "Board after the memory");
}

TEST(SmbiosMemory, SizeEncodings) {
    auto size = [](const CFormatted& device) {
        SmbiosTableBuilder builder;
        builder.Add(device, {"m", "s", "p"});
        auto s = Decode(builder);
        return s->m_nMemoryCount == 1 ? s->m_memory[0].strSize : "<not counted>";
    };
    EXPECT_EQ(size(Memory(8192)), "8192");
    EXPECT_EQ(size(Memory(0x7FFF).Dword(0x1C, 32768)), "32768");                // 32 GB
    EXPECT_EQ(size(Memory(0x7FFF).Dword(0x1C, 0x80000000u | 65536)), "65536");  // bit 31 reserved
    EXPECT_EQ(size(Memory(0x7FFF, 0x18, 0x1C)), "32767");  // no Extended Size field
    EXPECT_EQ(size(Memory(0x8000 | 2048)), "2");           // KB granularity
    EXPECT_EQ(size(Memory(0x8000 | 1536)), "1");           // rounded down
    EXPECT_EQ(size(Memory(0x8000 | 512)), "0");
    EXPECT_EQ(size(Memory(0xFFFF)), "65535");  // unknown, shown raw
    EXPECT_EQ(size(Memory(0)), "<not counted>");
    EXPECT_EQ(size(Memory(0, 0x18, 0x0C)), "<not counted>");  // no Size field
}

TEST(SmbiosMemory, TypeNames) {
    const std::vector<std::pair<std::uint8_t, std::string>> cases = {
        {0x00, "unknown"},
        {0x01, "other"},
        {0x02, "unknown"},
        {0x03, "dram"},
        {0x0A, "eeprom"},
        {0x0E, "3dram"},
        {0x12, "ddr"},
        {0x13, "DDR2"},
        {0x14, "ddr2 fb-dimm"},
        {0x15, "unknown"},
        {0x16, "unknown"},
        {0x17, "unknown"},
        {0x18, "DDR3"},
        {0x19, "FBD2"},
        // The codes of SMBIOS 3.0 to 3.7, by their standard names.
        {0x1A, "DDR4"},
        {0x1B, "LPDDR"},
        {0x1C, "LPDDR2"},
        {0x1D, "LPDDR3"},
        {0x1E, "LPDDR4"},
        {0x1F, "Logical non-volatile device"},
        {0x20, "HBM"},
        {0x21, "HBM2"},
        {0x22, "DDR5"},
        {0x23, "LPDDR5"},
        {0x24, "HBM3"},
        // Past the last code the standard defines.
        {0x25, "unknown"},
        {0x80, "unknown"},
        {0xFF, "unknown"}};
    SmbiosTableBuilder builder;
    for (const auto& [code, name] : cases) builder.Add(Memory(1024, code), {"m", "s", "p"});
    auto s = Decode(builder);
    ASSERT_EQ(s->m_memory.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(s->m_memory[i].strType, cases[i].second) << int(cases[i].first);
}

TEST(SmbiosMemory, SpeedAndExtendedSpeed) {
    auto speed = [](const CFormatted& device) {
        SmbiosTableBuilder builder;
        builder.Version(3, 3).Add(device, {"m", "s", "p"});
        auto s = Decode(builder);
        return s->m_nMemoryCount == 1 ? s->m_memory[0].strSpeed : "<not counted>";
    };
    // A 3.3 device (0x5C bytes) with 7467 MT/s in Extended Speed and 6400 in Extended
    // Configured Speed behind it.
    auto device = [](std::uint16_t word, std::uint8_t length = 0x5C) {
        return Memory(8192, 0x23, length).Word(0x15, word).Dword(0x54, 7467).Dword(0x58, 6400);
    };
    EXPECT_EQ(speed(device(4800)), "4800");          // the word itself below 0xFFFF
    EXPECT_EQ(speed(device(0xFFFE)), "65534");       // the largest speed the word can state
    EXPECT_EQ(speed(device(0xFFFF)), "7467");        // look in Extended Speed
    EXPECT_EQ(speed(device(0)), "0");                // unknown, shown raw
    EXPECT_EQ(speed(device(0xFFFF, 0x58)), "7467");  // the field just fits
    // Without the whole extended field (a 3.2 structure, or one byte short) the word stands.
    EXPECT_EQ(speed(device(0xFFFF, 0x54)), "65535");
    EXPECT_EQ(speed(device(0xFFFF, 0x57)), "65535");
    EXPECT_EQ(speed(device(0xFFFF, 0x28)), "65535");
    // All 32 bits are shown: a 16-bit or 31-bit reading would differ.
    EXPECT_EQ(speed(Memory(8192, 0x22, 0x5C).Word(0x15, 0xFFFF).Dword(0x54, 0x00012345)), "74565");
    EXPECT_EQ(speed(Memory(8192, 0x22, 0x5C).Word(0x15, 0xFFFF).Dword(0x54, 0xFFFFFFFFu)),
              "4294967295");
    // No Speed field at all: an empty text, whatever lies further on.
    EXPECT_EQ(speed(Memory(8192, 0x18, 0x15)), "");
}

TEST(SmbiosBattery, DateAndVoltage) {
    auto battery = [](const CFormatted& b, std::initializer_list<std::string_view> strings) {
        SmbiosTableBuilder builder;
        builder.Add(b, strings);
        auto s = Decode(builder);
        return std::make_pair(s->m_strBatteryDate, s->m_strBatteryDesignVoltage);
    };
    const CFormatted sbds = CFormatted(22, 0x1A).Word(0x0C, 11100).Word(0x12, 0x40EF);
    EXPECT_EQ(battery(sbds, {"LGC"}),
              std::make_pair(std::string("2012-7-15"), std::string("11.100000")));
    EXPECT_EQ(battery(CFormatted(22, 0x1A), {}),
              std::make_pair(std::string("1980-0-0"), std::string("0.000000")));
    // A date string wins over the SBDS word.
    EXPECT_EQ(battery(CFormatted(22, 0x1A).Byte(0x06, 2).Word(0x0C, 14800).Word(0x12, 0x40EF),
                      {"SANYO", "2015/03/01"}),
              std::make_pair(std::string("2015/03/01"), std::string("14.800000")));
    EXPECT_EQ(battery(CFormatted(22, 0x1A).Word(0x0C, 0xFFFF), {}).second, "65.535000");
}

}  // namespace
