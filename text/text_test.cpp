#include <gtest/gtest.h>

#include "text/gbk.h"
#include "text/page_text.h"

namespace {

TEST(Gbk, ConvertsBothWays) {
    EXPECT_EQ(text::Utf8ToGbk("BIOS大小"), "BIOS\xB4\xF3\xD0\xA1");
    EXPECT_EQ(text::Utf8ToGbk("："), "\xA3\xBA");
    EXPECT_EQ(text::GbkToUtf8("\xB5\xE7\xB3\xD8"), "电池");
    EXPECT_EQ(text::GbkToUtf8(text::Utf8ToGbk("硬盘温度 摄氏度\r\n")), "硬盘温度 摄氏度\r\n");
    EXPECT_EQ(text::Utf8ToGbk(""), "");
    EXPECT_EQ(text::GbkToUtf8(""), "");
}

TEST(Gbk, UnmappableAndMalformedBecomeQuestionMarks) {
    // Characters outside GBK: one "?" each, the text around them kept.
    EXPECT_EQ(text::Utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(text::Utf8ToGbk("Ω한국"), "\xA6\xB8??");
    // Malformed UTF-8: a stray continuation byte, a cut-off sequence at the end.
    EXPECT_EQ(text::Utf8ToGbk("x\x80y"), "x?y");
    EXPECT_EQ(text::Utf8ToGbk("ok\xE4\xB8"), "ok??");
    // GBK lead byte cut off at the end, and a byte that is no GBK at all.
    EXPECT_EQ(text::GbkToUtf8("AB\xB5"), "AB?");
    EXPECT_EQ(text::GbkToUtf8("\xFFZ"), "?Z");
}

TEST(Gbk, LongTextConvertsWhole) {
    std::string utf8;
    for (int i = 0; i < 2000; ++i) utf8 += "内存x";
    const std::string gbk = text::Utf8ToGbk(utf8);
    EXPECT_EQ(gbk.size(), 2000u * 5);
    EXPECT_EQ(text::GbkToUtf8(gbk), utf8);
}

TEST(PageText, LabelsAreTwelveBytesAndColon) {
    EXPECT_EQ(text::Label("BIOS大小"), "BIOS\xB4\xF3\xD0\xA1    \xA3\xBA");
    EXPECT_EQ(text::Label("CPU三级缓存"), text::Utf8ToGbk("CPU三级缓存 ："));
    EXPECT_EQ(text::Label("电池唯一ID号"), text::Utf8ToGbk("电池唯一ID号："));  // exactly 12
    EXPECT_EQ(text::Label("产品SKU号"), text::Utf8ToGbk("产品SKU号   ："));
    for (const char* name : {"SMBIOS版本", "硬盘温度", "电池设备名称", "X"}) {
        const std::string label = text::Label(name);
        ASSERT_EQ(label.size(), 14u) << name;
        EXPECT_EQ(label.substr(12), "\xA3\xBA") << name;
    }
    // Wider than the column: kept whole, no blank, no cut.
    EXPECT_EQ(text::Label("ABCDEFGHIJKLM"), "ABCDEFGHIJKLM\xA3\xBA");
}

TEST(PageText, LinesAndJoins) {
    EXPECT_EQ(text::Line("硬盘温度", "35", " 摄氏度"), text::Utf8ToGbk("硬盘温度    ：35 摄氏度"));
    EXPECT_EQ(text::Line("BIOS大小", "", "KB"), text::Utf8ToGbk("BIOS大小    ：KB"));
    // Values are page text already: copied as they are, even bytes that are not GBK.
    EXPECT_EQ(text::Line("X", "\xFF\x01"), std::string("X           \xA3\xBA\xFF\x01"));
    EXPECT_EQ(text::JoinLines({"a", "b", "c"}, false), "a\r\nb\r\nc");
    EXPECT_EQ(text::JoinLines({"a", "b"}, true), "a\r\nb\r\n");
    EXPECT_EQ(text::JoinLines({}, true), "");
}

}  // namespace
