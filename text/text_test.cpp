#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "text/gbk.h"
#include "text/gbk_codec.h"
#include "text/gbk_known_characters.h"
#include "text/page_text.h"
#include "text/printable.h"

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

TEST(Gbk, NoLookAlikes) {
    // Characters GBK lacks but a best-fit table would approximate ("Y", "ss", "A", "W").
    EXPECT_EQ(text::Utf8ToGbk("x¥ßĀ₩y"), "x????y");
    // Latin letters that GBK does have (its pinyin set) keep their own codes.
    EXPECT_EQ(text::Utf8ToGbk("āé"), "\xA8\xA1\xA8\xA6");
    EXPECT_EQ(text::GbkToUtf8("\xA8\xA1\xA8\xA6"), "āé");
}

TEST(Gbk, IllFormedUtf8IsOneQuestionMarkPerSequence) {
    // Complete in length but not well-formed: an overlong "/", a surrogate, past U+10FFFF.
    EXPECT_EQ(text::Utf8ToGbk("a\xE0\x80\xAF"
                              "b"),
              "a?b");
    EXPECT_EQ(text::Utf8ToGbk("a\xED\xA0\x80"
                              "b"),
              "a?b");
    EXPECT_EQ(text::Utf8ToGbk("a\xF4\x90\x80\x80"
                              "b"),
              "a?b");
    // Bytes that never start a sequence stand alone.
    EXPECT_EQ(text::Utf8ToGbk("\xC0\xAF\xFE"), "???");
    // A lead byte whose continuation is missing: the next character survives.
    EXPECT_EQ(text::Utf8ToGbk("\xE6\xB1电"), "??\xB5\xE7");
    EXPECT_EQ(text::Utf8ToGbk("电池\xE7\x94"), "\xB5\xE7\xB3\xD8??");
}

TEST(Gbk, GbkSequences) {
    // The single byte 80 is the euro sign in code page 936.
    EXPECT_EQ(text::GbkToUtf8("\x80"), "€");
    EXPECT_EQ(text::Utf8ToGbk("€"), "\x80");
    // A lead byte with a trail byte out of range stands alone; the byte after it is kept.
    EXPECT_EQ(text::GbkToUtf8("\x81\x7F\xB5\xE7"), "?\x7F电");
    EXPECT_EQ(text::GbkToUtf8("\xB5\x20"), "? ");
    // A pair in range that names no character is one "?".
    EXPECT_EQ(text::GbkToUtf8("a\xA2\xA0"
                              "b"),
              "a?b");
}

TEST(Gbk, PrivateUseIsNoCharacter) {
    // User-defined areas and unassigned pairs: Windows maps them into the Private Use Area,
    // iconv not at all; either way they are no text.
    EXPECT_EQ(text::GbkToUtf8("\xA1\x40|\xAA\xA1|\xD7\xFA|\xFE\xFE"), "?|?|?|?");
    EXPECT_EQ(text::GbkToUtf8("\xB5\xE7\xA1\x40\xB3\xD8"), "电?池");
    EXPECT_EQ(text::Utf8ToGbk("a\uE000\uE4C6\uF8F5b"), "a???b");
    // Just past the area (U+F92C, a compatibility ideograph) converts as usual, both ways.
    EXPECT_EQ(text::Utf8ToGbk("\u9F99\uF92C"), "\xC1\xFA\xFD\x9C");
    EXPECT_EQ(text::GbkToUtf8("\xC1\xFA\xFD\x9C"), "\u9F99\uF92C");
}

TEST(Gbk, LongTextConvertsWhole) {
    std::string utf8;
    for (int i = 0; i < 2000; ++i) utf8 += "内存x";
    const std::string gbk = text::Utf8ToGbk(utf8);
    EXPECT_EQ(gbk.size(), 2000u * 5);
    EXPECT_EQ(text::GbkToUtf8(gbk), utf8);
    // One character that does not convert costs only itself.
    utf8 += "😀";
    utf8 += "内存";
    const std::string mixed = text::Utf8ToGbk(utf8);
    EXPECT_EQ(mixed, gbk + "?" + "\xC4\xDA\xB4\xE6");
    EXPECT_EQ(text::GbkToUtf8(gbk + "\xFF" + gbk),
              utf8.substr(0, 2000u * 7) + "?" + utf8.substr(0, 2000u * 7));
}

// The UTF-8 bytes of a code point of three UTF-8 bytes.
std::string Utf8Of(char16_t unicode) {
    return {static_cast<char>(0xE0 | unicode >> 12),
            static_cast<char>(0x80 | (unicode >> 6 & 0x3F)),
            static_cast<char>(0x80 | (unicode & 0x3F))};
}

TEST(Gbk, ListedCharactersConvertAsTheCodecDoes) {
    // Every character that converts without the codec gets the codec's bytes, both ways.
    for (const text::KnownCharacter& c : text::kKnownCharacters) {
        const std::string utf8 = Utf8Of(c.wUnicode);
        const std::string gbk = {static_cast<char>(c.wGbk >> 8), static_cast<char>(c.wGbk & 0xFF)};
        std::string byCodec;
        ASSERT_TRUE(text::codec::AppendUtf8AsGbk(utf8, byCodec)) << utf8;
        EXPECT_EQ(byCodec, gbk) << utf8;
        byCodec.clear();
        ASSERT_TRUE(text::codec::AppendGbkAsUtf8(gbk, byCodec)) << utf8;
        EXPECT_EQ(byCodec, utf8) << utf8;
        EXPECT_EQ(text::Utf8ToGbk(utf8), gbk) << utf8;
        EXPECT_EQ(text::GbkToUtf8(gbk), utf8) << utf8;
    }
    // ASCII is the same in both encodings, for the codec too.
    std::string ascii;
    for (int c = 0; c < 0x80; ++c) ascii.push_back(static_cast<char>(c));
    std::string byCodec;
    ASSERT_TRUE(text::codec::AppendUtf8AsGbk(ascii, byCodec));
    EXPECT_EQ(byCodec, ascii);
    byCodec.clear();
    ASSERT_TRUE(text::codec::AppendGbkAsUtf8(ascii, byCodec));
    EXPECT_EQ(byCodec, ascii);
    EXPECT_EQ(text::Utf8ToGbk(ascii), ascii);
    EXPECT_EQ(text::GbkToUtf8(ascii), ascii);
}

TEST(Gbk, ListedAndOtherCharactersMix) {
    // Listed (电, 池), other (Ω, 한, 龙), no GBK (😀) and malformed sequences side by side:
    // each converts as it would alone.
    EXPECT_EQ(text::Utf8ToGbk("电Ω池😀龙\xE4\xB8电x"),
              "\xB5\xE7\xA6\xB8\xB3\xD8?\xC1\xFA??\xB5\xE7x");
    EXPECT_EQ(text::Utf8ToGbk("Ω한池"), "\xA6\xB8?\xB3\xD8");
    EXPECT_EQ(text::GbkToUtf8("\xB5\xE7\xA6\xB8\xB3\xD8\xFF\xC1\xFA\x80\xA1\x40\xB5"),
              "电Ω池?龙€??");
    EXPECT_EQ(text::GbkToUtf8("\xA6\xB8\xB5\xE7\xC1\xFA"), "Ω电龙");
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
    EXPECT_EQ(text::Line("X", "\xFF\x80"), std::string("X           \xA3\xBA\xFF\x80"));
    EXPECT_EQ(text::JoinLines({"a", "b", "c"}, false), "a\r\nb\r\nc");
    EXPECT_EQ(text::JoinLines({"a", "b"}, true), "a\r\nb\r\n");
    EXPECT_EQ(text::JoinLines({}, true), "");
}

TEST(PageText, ControlBytesInValuesCannotForgeLines) {
    const std::string label = text::Label("X");
    const struct {
        std::string value, shown;
    } cases[] = {
        // A drive model that would print a line of its own after the real one.
        {"M\r\n\xD3\xB2\xC5\xCC:12", "M??\xD3\xB2\xC5\xCC:12"},
        {std::string("a\0b", 3), "a?b"},
        {"\x01\x1F \x7F~", "?? ?~"},
        {"\t\x1B[2J", "??[2J"},
        // GBK pairs whose trail byte is 0x40-0x7E or 0x80-0xFE stay whole.
        {"\x81\x40\xFE\x7E\xB5\xE7\x80\xFE", "\x81\x40\xFE\x7E\xB5\xE7\x80\xFE"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text::Line("X", c.value, "\xE2\x84\x83"),
                  label + c.shown + text::Utf8ToGbk("\xE2\x84\x83"))
            << c.value;
    }
}

TEST(Printable, ControlsInNamesAreEscaped) {
    const struct {
        std::string name, shown;
    } cases[] = {
        {"/tmp/ps/BAT0/\x1b]0;owned\x07x", "/tmp/ps/BAT0/\\x1b]0;owned\\x07x"},
        {"a\r\nb\tc\x7f", "a\\x0d\\x0ab\\x09c\\x7f"},
        {std::string("nul\0", 4), "nul\\x00"},
        {"c1\xC2\x9B[2J", "c1\\u009b[2J"},
        {"C:\\Users\\x", "C:\\Users\\x"},
        // Printable text, Chinese and U+00A0 included, stays as it is.
        {"\xE7\x94\xB5\xE6\xB1\xA0 \xC2\xA0\xC2", "\xE7\x94\xB5\xE6\xB1\xA0 \xC2\xA0\xC2"},
    };
    for (const auto& c : cases) EXPECT_EQ(text::Printable(c.name), c.shown) << c.shown;
}

TEST(PageText, VoltsAsPrintfWouldShowThem) {
    // "%f" of millivolts / 1000.0, across the digits and the 32-bit range.
    for (const std::uint32_t mv :
         {0u, 7u, 45u, 999u, 1000u, 11100u, 12345u, 65535u, 4294967294u, 4294967295u}) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%f", mv / 1000.0);
        EXPECT_EQ(text::Volts(mv), expected) << mv;
    }
}

}  // namespace
