#include "smbios/smbios_pages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "smbios/smbios.h"
#include "tests/support/smbios_table_builder.h"
#include "text/gbk.h"

namespace {

using smbios::CFormatted;
using smbios::SmbiosTableBuilder;

std::unique_ptr<CSMBios> Decode(const platform::RawSmbios& tables) {
    platform::CFixedSmbiosSource source(tables);
    return std::make_unique<CSMBios>(
        source, [](std::string_view, std::string_view) { ADD_FAILURE() << "no message expected"; });
}

// A laptop-like table: BIOS, system, board, one processor with three caches, two modules
// around an empty socket.
SmbiosTableBuilder Laptop(std::uint8_t major, std::uint8_t minor) {
    SmbiosTableBuilder b;
    b.Version(major, minor)
        .Add(CFormatted(0, 0x18).Byte(0x04, 1).Byte(0x05, 2).Byte(0x08, 3).Byte(0x09, 0x0F),
             {"LENOVO", "G2ET86WW (2.06 )", "11/13/2012"})
        .Add(CFormatted(1, 0x1B)
                 .Bytes(0x04, {1, 2, 3, 4})
                 .Bytes(0x08, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})
                 .Byte(0x19, 5)
                 .Byte(0x1A, 6),
             {"LENOVO", "2347A49", "ThinkPad T430", "R9ABCDE", "LENOVO_MT_2347", "ThinkPad"})
        .Add(CFormatted(2, 0x0F).Bytes(0x04, {1, 2, 3, 4}),
             {"LENOVO", "2347A49", "Not Defined", "1ZS12345"})
        .Add(CFormatted(4, 0x2A)
                 .Byte(0x07, 1)
                 .Byte(0x10, 2)
                 .Word(0x12, 100)
                 .Word(0x14, 2400)
                 .Byte(0x23, 2)
                 .Byte(0x25, 4),
             {"Intel(R) Corporation", "Intel(R) Core(TM) i5-3320M CPU @ 2.60GHz"})
        .Add(CFormatted(7, 0x13).Word(0x05, 0x0180).Word(0x09, 32))
        .Add(CFormatted(7, 0x13).Word(0x05, 0x0181).Word(0x09, 256))
        .Add(CFormatted(7, 0x13).Word(0x05, 0x0182).Word(0x09, 3072))
        .Add(CFormatted(17, 0x22)
                 .Word(0x0C, 4096)
                 .Byte(0x12, 0x18)
                 .Word(0x15, 1600)
                 .Bytes(0x17, {1, 2, 0, 3}),
             {"Samsung", "1234ABCD", "M471B5273DH0-CK0"})
        .Add(CFormatted(17, 0x22).Byte(0x12, 0x02))
        .Add(CFormatted(17, 0x22).Word(0x0C, 8192).Byte(0x12, 0x18).Bytes(0x17, {1, 0, 0, 2}),
             {"Hynix", "HMT41GS6BFR8A-PB"});
    return b;
}

std::vector<std::string> SplitLines(const std::string& page) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < page.size()) {
        std::size_t end = page.find("\r\n", start);
        if (end == std::string::npos) end = page.size();
        lines.push_back(page.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

TEST(SmbiosPages, BiosPage) {
    auto s = Decode(Laptop(2, 7).Tables());
    std::string version = "old";
    const std::string page = smbios::BuildBiosPage(*s, &version);
    EXPECT_EQ(version, "2.7");
    EXPECT_EQ(page, text::Utf8ToGbk("SMBIOS版本  ：2.7\r\n"
                                    "BIOS制造商  ：LENOVO\r\n"
                                    "BIOS版本    ：G2ET86WW (2.06 )\r\n"
                                    "BIOS日期    ：11/13/2012\r\n"
                                    "BIOS大小    ：1024KB"));
    // The GBK bytes of the last line, as the pane receives them.
    EXPECT_TRUE(
        page.ends_with("BIOS\xB4\xF3\xD0\xA1    \xA3\xBA"
                       "1024KB"));
    // Building another page in between changes nothing.
    smbios::BuildBoardPage(*s);
    EXPECT_EQ(smbios::BuildBiosPage(*s, &version), page);
    EXPECT_EQ(smbios::BuildBiosPage(*s, nullptr), page);
}

TEST(SmbiosPages, SystemAndBoardPages) {
    auto s = Decode(Laptop(2, 7).Tables());
    EXPECT_EQ(smbios::BuildSystemPage(*s), text::Utf8ToGbk("产品家族    ：ThinkPad\r\n"
                                                           "产品生产商  ：LENOVO\r\n"
                                                           "产品名称    ：2347A49\r\n"
                                                           "产品序列号  ：R9ABCDE\r\n"
                                                           "产品SKU号   ：LENOVO_MT_2347\r\n"
                                                           "产品版本号  ：ThinkPad T430\r\n"
                                                           "产品UUID号  ：03020100-07060504-"
                                                           "0b0a0908-0f0e0d0c\r\n"));
    EXPECT_EQ(smbios::BuildBoardPage(*s), text::Utf8ToGbk("主板生产商  ：LENOVO\r\n"
                                                          "主板名称    ：2347A49\r\n"
                                                          "主板序列号  ：1ZS12345\r\n"
                                                          "主板版本号  ：Not Defined"));
}

TEST(SmbiosPages, ProcessorPageAndItsVersionTest) {
    auto s = Decode(Laptop(2, 7).Tables());
    EXPECT_EQ(smbios::BuildProcessorPage(*s),
              text::Utf8ToGbk("CPU制造商   ：Intel(R) Corporation\r\n"
                              "CPU名称     ：Intel(R) Core(TM) i5-3320M CPU @ 2.60GHz\r\n"
                              "CPU主频     ：2400MHz\r\n"
                              "CPU外频     ：100MHz\r\n"
                              "CPU核心数   ：2\r\n"
                              "CPU线程数   ：4\r\n"
                              "CPU一级缓存 ：32 KB\r\n"
                              "CPU二级缓存 ：256 KB\r\n"
                              "CPU三级缓存 ：3072 KB\r\n"));

    // Below 2.5 the counts are replaced by "-" in the data source itself, every time.
    for (auto [major, minor] : {std::pair{2, 4}, {2, 0}, {1, 9}}) {
        auto old = Decode(
            Laptop(static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor)).Tables());
        const std::string page = smbios::BuildProcessorPage(*old);
        EXPECT_NE(page.find(text::Utf8ToGbk("CPU核心数   ：-\r\nCPU线程数   ：-\r\n")),
                  std::string::npos)
            << major << "." << minor;
        EXPECT_EQ(old->m_strCpuCores, "-");
        EXPECT_EQ(old->m_strCpuThreads, "-");
        EXPECT_EQ(smbios::BuildProcessorPage(*old), page);
    }
    for (auto [major, minor] : {std::pair{2, 5}, {2, 8}, {3, 0}, {3, 4}}) {
        auto newer = Decode(
            Laptop(static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor)).Tables());
        smbios::BuildProcessorPage(*newer);
        EXPECT_EQ(newer->m_strCpuCores, "2") << major << "." << minor;
        EXPECT_EQ(newer->m_strCpuThreads, "4") << major << "." << minor;
    }
}

TEST(SmbiosPages, MemoryPage) {
    auto s = Decode(Laptop(2, 7).Tables());
    const std::string expected = text::Utf8ToGbk(
        "内存生产商  ：Samsung\r\n"
        "内存大小    ：4096MB\r\n"
        "内存类型    ：DDR3\r\n"
        "内存频率    ：1600MHz\r\n"
        "内存批次    ：M471B5273DH0-CK0\r\n"
        "内存序列号  ：1234ABCD\r\n"
        "\r\n"
        "内存生产商  ：Hynix\r\n"
        "内存大小    ：8192MB\r\n"
        "内存类型    ：DDR3\r\n"
        "内存频率    ：0MHz\r\n"
        "内存批次    ：HMT41GS6BFR8A-PB\r\n"
        "内存序列号  ：\r\n"
        "\r\n");
    std::string page;
    smbios::AppendMemoryPage(*s, &page);
    EXPECT_EQ(page, expected);
    // The builder appends; the caller starts each showing from an empty page.
    std::string again;
    smbios::AppendMemoryPage(*s, &again);
    EXPECT_EQ(again, expected);
    smbios::AppendMemoryPage(*s, &again);
    EXPECT_EQ(again, expected + expected);
}

TEST(SmbiosPages, NothingFetched) {
    platform::RawSmbios none;  // the firmware tables cannot be read at all
    auto s = Decode(none);
    std::string version;
    EXPECT_EQ(smbios::BuildBiosPage(*s, &version),
              text::Utf8ToGbk("SMBIOS版本  ：0.0\r\nBIOS制造商  ：\r\nBIOS版本    ：\r\n"
                              "BIOS日期    ：\r\nBIOS大小    ：KB"));
    EXPECT_EQ(version, "0.0");
    EXPECT_EQ(
        smbios::BuildBoardPage(*s),
        text::Utf8ToGbk("主板生产商  ：\r\n主板名称    ：\r\n主板序列号  ：\r\n主板版本号  ："));
    EXPECT_EQ(smbios::BuildProcessorPage(*s),
              text::Utf8ToGbk("CPU制造商   ：\r\nCPU名称     ：\r\nCPU主频     ：MHz\r\n"
                              "CPU外频     ：MHz\r\nCPU核心数   ：-\r\nCPU线程数   ：-\r\n"
                              "CPU一级缓存 ： KB\r\nCPU二级缓存 ： KB\r\nCPU三级缓存 ： KB\r\n"));
    std::string memory;
    smbios::AppendMemoryPage(*s, &memory);
    EXPECT_EQ(memory, "");
}

TEST(SmbiosPages, EveryLabelClosesAtTheSameColumn) {
    auto s = Decode(Laptop(3, 0).Tables());
    std::string memory;
    smbios::AppendMemoryPage(*s, &memory);
    for (const std::string& page :
         {smbios::BuildBiosPage(*s, nullptr), smbios::BuildSystemPage(*s),
          smbios::BuildProcessorPage(*s), smbios::BuildBoardPage(*s), memory}) {
        int lines = 0;
        for (const std::string& line : SplitLines(page)) {
            if (line.empty()) continue;  // the blank line after a memory record
            ++lines;
            ASSERT_GE(line.size(), 14u) << text::GbkToUtf8(line);
            EXPECT_EQ(line.substr(12, 2), "\xA3\xBA") << text::GbkToUtf8(line);
        }
        EXPECT_GE(lines, 4);
    }
}

TEST(SmbiosPages, ValuesAreCopiedByteForByte) {
    SmbiosTableBuilder b;
    // A GBK vendor name ("联想") and a string with an invalid byte and trailing blanks.
    b.Add(CFormatted(2, 0x08).Bytes(0x04, {1, 2}), {"\xC1\xAA\xCF\xEB", "X\xFF  "});
    auto s = Decode(b.Tables());
    EXPECT_EQ(smbios::BuildBoardPage(*s), text::Utf8ToGbk("主板生产商  ：") +
                                              "\xC1\xAA\xCF\xEB\r\n" +
                                              text::Utf8ToGbk("主板名称    ：") + "X\xFF  \r\n" +
                                              text::Utf8ToGbk("主板序列号  ：\r\n主板版本号  ："));
}

}  // namespace
