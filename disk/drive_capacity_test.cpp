#include "disk/drive_capacity.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Sector = std::vector<std::uint8_t>;

void SetWord(Sector& s, std::size_t w, std::uint16_t value) {
    s[2 * w] = static_cast<std::uint8_t>(value);
    s[2 * w + 1] = static_cast<std::uint8_t>(value >> 8);
}

// An IDENTIFY sector with words 60-61 = `sectors28`, 100-103 = `sectors48`, word 83, word
// 106 and words 117-118 as given.
Sector Identify(std::uint32_t sectors28, std::uint64_t sectors48, std::uint16_t w83,
                std::uint16_t w106, std::uint32_t wordsPerSector) {
    Sector s(512, 0);
    SetWord(s, 60, static_cast<std::uint16_t>(sectors28));
    SetWord(s, 61, static_cast<std::uint16_t>(sectors28 >> 16));
    for (std::size_t i = 0; i < 4; ++i)
        SetWord(s, 100 + i, static_cast<std::uint16_t>(sectors48 >> (16 * i)));
    SetWord(s, 83, w83);
    SetWord(s, 106, w106);
    SetWord(s, 117, static_cast<std::uint16_t>(wordsPerSector));
    SetWord(s, 118, static_cast<std::uint16_t>(wordsPerSector >> 16));
    return s;
}

struct AtaCase {
    const char* name;
    Sector identify;
    std::optional<std::string> expected;
};

TEST(AtaCapacity, SectorsTimesTheLogicalSectorSize) {
    const std::vector<AtaCase> cases = {
        {"48-bit count", Identify(0x0FFFFFFF, 976773168, 0x4400, 0x4000, 0), "500.1"},
        {"28-bit count without 48-bit support", Identify(156301488, 976773168, 0x4000, 0, 0),
         "80.0"},
        {"4096-byte logical sectors", Identify(0, 488378646, 0x0400, 0x5000, 2048), "2000.4"},
        {"sector size ignored without bit 12", Identify(0, 488378646, 0x0400, 0x4000, 2048),
         "250.0"},
        {"sector size ignored when word 106 is invalid",
         Identify(0, 488378646, 0x0400, 0xD000, 2048), "250.0"},
        {"word 106 never valid without bit 14", Identify(0, 488378646, 0x0400, 0x1000, 2048),
         "250.0"},
        {"no sectors", Identify(0, 0, 0x0400, 0, 0), "0.0"},
        {"largest counts do not wrap",
         Identify(0, 0xFFFFFFFFFFFFFFFFull, 0x0400, 0x5000, 0xFFFFFFFF), "158456324991635187031.1"},
        {"shorter than 128 words", Sector(255, 0), std::nullopt},
    };
    for (const AtaCase& c : cases) {
        const auto bytes = disk::AtaCapacity(c.identify);
        ASSERT_EQ(bytes.has_value(), c.expected.has_value()) << c.name;
        if (bytes) {
            EXPECT_EQ(disk::GigabytesText(*bytes), *c.expected) << c.name;
        }
    }
}

struct NvmeCase {
    const char* name;
    std::vector<std::uint8_t> tnvmcap;  // bytes 280 on, little-endian
    std::size_t size;
    std::optional<std::string> expected;
};

TEST(NvmeTotalCapacity, TnvmcapWhenReported) {
    const std::vector<NvmeCase> cases = {
        {"512 GB drive", {0x00, 0x60, 0x2E, 0x3C, 0x77}, 4096, "512.1"},
        {"half up at .05", {0x80, 0xF0, 0xFA, 0x02}, 4096, "0.1"},  // 50000000
        {"just below .05", {0x7F, 0xF0, 0xFA, 0x02}, 4096, "0.0"},  // 49999999
        {"not reported", {}, 4096, std::nullopt},
        {"high bytes count", {0, 0, 0, 0, 0, 0, 0, 0, 1}, 4096, "18446744073.7"},
        {"structure cut before the field", {1}, 295, std::nullopt},
    };
    for (const NvmeCase& c : cases) {
        std::vector<std::uint8_t> identify(4096, 0);
        std::copy(c.tnvmcap.begin(), c.tnvmcap.end(), identify.begin() + 280);
        identify.resize(c.size);
        const auto bytes = disk::NvmeTotalCapacity(identify);
        ASSERT_EQ(bytes.has_value(), c.expected.has_value()) << c.name;
        if (bytes) {
            EXPECT_EQ(disk::GigabytesText(*bytes), *c.expected) << c.name;
        }
    }
}

struct NamespaceCase {
    const char* name;
    std::uint64_t nsze;
    std::uint8_t nlbaf;  // formats - 1
    std::uint8_t flbas;
    std::vector<std::uint8_t> lbads;  // LBADS of formats 0, 1, ...
    std::size_t size;
    std::optional<std::string> expected;
};

TEST(NvmeNamespaceCapacity, BlocksTimesTheFormattedBlockSize) {
    const std::vector<NamespaceCase> cases = {
        {"512-byte blocks", 3907029168, 0, 0x00, {9}, 4096, "2000.4"},
        {"second format, 4 KiB", 488378646, 1, 0x01, {9, 12}, 4096, "2000.4"},
        {"metadata bit ignored", 488378646, 1, 0x11, {9, 12}, 4096, "2000.4"},
        {"format 17 through bits 6-5", 1000, 17, 0x21, std::vector<std::uint8_t>(18, 12), 4096,
         "0.0"},
        {"high bits ignored below 17 formats", 1000000, 1, 0x20, {9, 12}, 4096, "0.5"},
        {"format beyond NLBAF", 1000, 0, 0x01, {9, 12}, 4096, std::nullopt},
        {"LBADS 0: format not in use", 1000, 0, 0x00, {0}, 4096, std::nullopt},
        {"no blocks", 0, 0, 0x00, {9}, 4096, std::nullopt},
        {"cut inside the format table", 1000, 1, 0x01, {9, 12}, 133, std::nullopt},
        {"cut before FLBAS", 1000, 0, 0x00, {9}, 26, std::nullopt},
    };
    for (const NamespaceCase& c : cases) {
        std::vector<std::uint8_t> identify(4096, 0);
        for (int i = 0; i < 8; ++i) identify[i] = static_cast<std::uint8_t>(c.nsze >> (8 * i));
        identify[25] = c.nlbaf;
        identify[26] = c.flbas;
        for (std::size_t f = 0; f < c.lbads.size(); ++f) identify[128 + 4 * f + 2] = c.lbads[f];
        identify.resize(c.size);
        const auto bytes = disk::NvmeNamespaceCapacity(identify);
        ASSERT_EQ(bytes.has_value(), c.expected.has_value()) << c.name;
        if (bytes) {
            EXPECT_EQ(disk::GigabytesText(*bytes), *c.expected) << c.name;
        }
    }
}

}  // namespace
