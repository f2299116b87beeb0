#include "base/little_endian.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

TEST(LittleEndian, FieldsReadLowByteFirstAndOnlyWhenTheyFit) {
    const std::array<std::uint8_t, 9> bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0xFF};
    const std::span<const std::uint8_t> all(bytes);
    struct Case {
        std::size_t offset;
        std::size_t width;
        std::uint64_t value;
    };
    for (const Case& c : std::initializer_list<Case>{{0, 1, 0x01},
                                                     {0, 2, 0x0201},
                                                     {1, 4, 0x05040302},
                                                     {0, 8, 0x0807060504030201},
                                                     {7, 2, 0xFF08},
                                                     {3, 0, 0}}) {
        SCOPED_TRACE(testing::Message() << "offset " << c.offset << " width " << c.width);
        EXPECT_TRUE(base::Holds(all, c.offset, c.width));
        EXPECT_EQ(base::LoadLe(all, c.offset, c.width), c.value);
    }
    EXPECT_EQ(base::ReadLe16(all, 7), 0xFF08u);
    EXPECT_EQ(base::ReadLe32(all, 5), 0xFF080706u);
    // A field that runs past the end, starts past it, or whose offset would wrap a sum.
    EXPECT_EQ(base::ReadLe16(all, 8), std::nullopt);
    EXPECT_EQ(base::ReadLe32(all, 6), std::nullopt);
    EXPECT_EQ(base::ReadLe32(all, 10), std::nullopt);
    EXPECT_EQ(base::ReadLe32(all, std::numeric_limits<std::size_t>::max() - 1), std::nullopt);
    EXPECT_FALSE(base::Holds(all, 10, 0));
    EXPECT_EQ(base::ReadLe16({}, 0), std::nullopt);
}

TEST(LittleEndian, WrittenFieldsReadBack) {
    std::array<std::uint8_t, 6> bytes{};
    base::StoreLe32(bytes, 1, 0xA1B2C3D4);
    EXPECT_EQ(bytes, (std::array<std::uint8_t, 6>{0x00, 0xD4, 0xC3, 0xB2, 0xA1, 0x00}));
    base::StoreLe(bytes, 4, 0x1234567, 2);  // only the low bytes
    EXPECT_EQ(base::LoadLe32(bytes, 2), 0x4567B2C3u);
    std::vector<std::uint8_t> out{0xEE};
    base::AppendLe(out, 0x0102030405, 3);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0xEE, 0x05, 0x04, 0x03}));
}

}  // namespace
