#include "display/edid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "display/panel_page.h"
#include "text/gbk.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// An EDID 1.4 base block of a 1920 x 1080 panel from AUO with a correct checksum: digital
// input of 8 bits, 34 x 19 cm, the first descriptor a detailed timing (138.5 MHz, blanking
// 160 x 31, 344 x 194 mm), the others dummies (tag 10).
Bytes BaseBlock() {
    Bytes b(128, 0);
    const Bytes header = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(header.begin(), header.end(), b.begin());
    b[8] = 0x06;  // A=1 U=21 O=15: 00001 10101 01111
    b[9] = 0xAF;
    b[10] = 0xED;
    b[11] = 0x2B;
    b[16] = 12;
    b[17] = 29;
    b[18] = 1;
    b[19] = 4;
    b[20] = 0xA5;  // digital, depth 010 (8 bits)
    b[21] = 34;
    b[22] = 19;
    const Bytes dtd = {0x1A, 0x36, 0x80, 0xA0, 0x70, 0x38, 0x1F, 0x40, 0x30,
                       0x20, 0x35, 0x00, 0x58, 0xC2, 0x10, 0x00, 0x00, 0x1A};
    std::copy(dtd.begin(), dtd.end(), b.begin() + 54);
    for (const std::size_t off : {72, 90, 108}) b[off + 3] = 0x10;
    return b;
}

void FixChecksum(Bytes& b) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < 127; ++i) sum += b[i];
    b[127] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
}

// Descriptor `slot` (0-3) made a display descriptor with `tag` and 13 data bytes.
void SetText(Bytes& b, int slot, std::uint8_t tag, const std::string& data13) {
    const std::size_t off = 54 + 18 * static_cast<std::size_t>(slot);
    std::fill(b.begin() + static_cast<std::ptrdiff_t>(off),
              b.begin() + static_cast<std::ptrdiff_t>(off + 18), 0);
    b[off + 3] = tag;
    for (std::size_t i = 0; i < 13 && i < data13.size(); ++i)
        b[off + 5 + i] = static_cast<std::uint8_t>(data13[i]);
}

std::vector<std::string> PageLines(const std::optional<display::EdidPanel>& panel) {
    const std::string page = text::GbkToUtf8(display::BuildPanelPage(panel));
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = page.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(page.substr(start, end - start));
    lines.push_back(page.substr(start));
    return lines;
}

struct PageCase {
    const char* name;
    std::function<void(Bytes&)> edit;  // applied to BaseBlock(), then the checksum is fixed
    std::size_t line;
    std::string expected;
};

TEST(PanelPage, EachLineFromTheBaseBlock) {
    const std::vector<PageCase> cases = {
        {"maker with name", [](Bytes&) {}, 0, "屏幕厂商    ：AUO AU Optronics"},
        {"maker unknown",
         [](Bytes& b) {
             b[8] = 0x63;
             b[9] = 0x3A;
         },
         0, "屏幕厂商    ：XYZ"},
        {"no text descriptor", [](Bytes&) {}, 1, "屏幕型号    ："},
        {"last FE wins",
         [](Bytes& b) {
             SetText(b, 1, 0xFE, "AUO\n         ");
             SetText(b, 2, 0xFE, "B140HAN04.0\n ");
             SetText(b, 3, 0xFC, "Panel\n       ");
         },
         1, "屏幕型号    ：B140HAN04.0"},
        {"binary FE skipped",
         [](Bytes& b) {
             SetText(b, 1, 0xFE, "N156HGA-EAB\n ");
             SetText(b, 2, 0xFE,
                     std::string("\x01\x02\x80\x10\x00\x00\x0A\x00\x00\x00\x00\x00\x00", 13));
         },
         1, "屏幕型号    ：N156HGA-EAB"},
        {"FC when no FE text",
         [](Bytes& b) {
             SetText(b, 1, 0xFE, "     \n       ");
             SetText(b, 2, 0xFC, "Color LCD\n   ");
         },
         1, "屏幕型号    ：Color LCD"},
        {"thirteen printable, no 0A", [](Bytes& b) { SetText(b, 1, 0xFE, "LP140WF1-SPK1"); }, 1,
         "屏幕型号    ：LP140WF1-SPK1"},
        {"NUL padding after 0A",
         [](Bytes& b) { SetText(b, 1, 0xFE, std::string("LQ133\n\0\0\0\0\0\0\0", 13)); }, 1,
         "屏幕型号    ：LQ133"},
        {"text after 0A is not text", [](Bytes& b) { SetText(b, 1, 0xFE, "LQ133\nXXXXXXX"); }, 1,
         "屏幕型号    ："},
        {"control byte is not text", [](Bytes& b) { SetText(b, 1, 0xFE, "LQ\t33\n       "); }, 1,
         "屏幕型号    ："},
        {"not a display descriptor",
         [](Bytes& b) {
             SetText(b, 1, 0xFE, "LQ133\n       ");
             b[72 + 2] = 1;
         },
         1, "屏幕型号    ："},
        {"product code little-endian", [](Bytes&) {}, 2, "产品代码    ：2BED"},
        {"week of year", [](Bytes&) {}, 3, "生产日期    ：2019年第12周"},
        {"week 0", [](Bytes& b) { b[16] = 0; }, 3, "生产日期    ：2019年"},
        {"model year",
         [](Bytes& b) {
             b[16] = 0xFF;
             b[17] = 34;
         },
         3, "生产日期    ：2024年（型号年份）"},
        {"size from the timing's mm", [](Bytes&) {}, 4, "屏幕尺寸    ：15.5 英寸"},
        {"size from cm when mm is 0",
         [](Bytes& b) {
             b[54 + 12] = 0;
             b[54 + 14] = 0;
         },
         4, "屏幕尺寸    ：15.3 英寸"},
        {"rounded: 30 x 40 cm is 19.685",
         [](Bytes& b) {
             b[54] = 0;
             b[55] = 0;
             b[21] = 30;
             b[22] = 40;
         },
         4, "屏幕尺寸    ：19.7 英寸"},
        {"no size at all",
         [](Bytes& b) {
             b[54 + 13] = 0;
             b[54 + 14] = 0;
             b[21] = 0;
         },
         4, "屏幕尺寸    ： 英寸"},
        {"first timing", [](Bytes&) {}, 5, "分辨率      ：1920 x 1080 @ 60 Hz"},
        {"borders count in the totals",
         [](Bytes& b) {
             b[54 + 15] = 100;
             b[54 + 16] = 100;
         },
         5, "分辨率      ：1920 x 1080 @ 46 Hz"},
        {"first descriptor with a clock",
         [](Bytes& b) {
             std::copy(b.begin() + 54, b.begin() + 72, b.begin() + 90);
             SetText(b, 0, 0xFE, "X\n           ");
             b[90 + 2] = 0x00;  // 1792 wide
         },
         5, "分辨率      ：1792 x 1080 @ 64 Hz"},
        {"no timing", [](Bytes& b) { SetText(b, 0, 0x10, ""); }, 5, "分辨率      ： Hz"},
        {"depth 8", [](Bytes&) {}, 6, "色深        ：8 位"},
        {"depth 16", [](Bytes& b) { b[20] = 0xE0; }, 6, "色深        ：16 位"},
        {"depth undefined", [](Bytes& b) { b[20] = 0x80; }, 6, "色深        ： 位"},
        {"depth reserved", [](Bytes& b) { b[20] = 0xF0; }, 6, "色深        ： 位"},
        {"EDID 1.3 has no depth", [](Bytes& b) { b[19] = 3; }, 6, "色深        ： 位"},
        {"analog input has no depth", [](Bytes& b) { b[20] = 0x25; }, 6, "色深        ： 位"},
        {"version", [](Bytes& b) { b[19] = 3; }, 7, "EDID 版本   ：1.3"},
        {"checksum right", [](Bytes&) {}, 8, "校验和      ：正确"},
    };
    for (const PageCase& c : cases) {
        Bytes b = BaseBlock();
        c.edit(b);
        FixChecksum(b);
        const std::vector<std::string> lines = PageLines(display::DecodeEdid(b));
        ASSERT_EQ(lines.size(), 9u) << c.name;
        EXPECT_EQ(lines[c.line], c.expected) << c.name;
    }
    Bytes bad = BaseBlock();
    FixChecksum(bad);
    bad[127] ^= 1;
    EXPECT_EQ(PageLines(display::DecodeEdid(bad))[8], "校验和      ：错误");
    const std::vector<std::string> empty = {
        "屏幕厂商    ：",    "屏幕型号    ：",      "产品代码    ：",
        "生产日期    ：",    "屏幕尺寸    ： 英寸", "分辨率      ： Hz",
        "色深        ： 位", "EDID 版本   ：",      "校验和      ："};
    EXPECT_EQ(PageLines(std::nullopt), empty);
}

struct BlockCase {
    const char* name;
    std::size_t size;         // bytes given (the base block, then zeros)
    std::uint8_t extensions;  // byte 126
    bool headed;
    std::optional<std::size_t> blocks;  // nullopt: refused
};

TEST(DecodeEdid, BlocksThatTheCountAndTheBytesAllow) {
    const std::vector<BlockCase> cases = {
        {"empty", 0, 0, false, std::nullopt},
        {"header only", 8, 0, true, std::nullopt},
        {"one byte short", 127, 0, true, std::nullopt},
        {"bad header", 128, 0, false, std::nullopt},
        {"base block", 128, 0, true, 1},
        {"padded to 256, count 0", 256, 0, true, 1},
        {"one extension", 256, 1, true, 2},
        {"one extension and padding", 300, 1, true, 2},
        {"count beyond the bytes", 256, 3, true, 1},
        {"count 255, one block", 128, 255, true, 1},
    };
    for (const BlockCase& c : cases) {
        Bytes b = BaseBlock();
        if (!c.headed) b[1] = 0;
        b[126] = c.extensions;
        b.resize(c.size, 0);
        const std::optional<display::EdidPanel> panel = display::DecodeEdid(b);
        ASSERT_EQ(panel.has_value(), c.blocks.has_value()) << c.name;
        if (panel) {
            EXPECT_EQ(panel->nBlocks, *c.blocks) << c.name;
        }
    }
}

}  // namespace
