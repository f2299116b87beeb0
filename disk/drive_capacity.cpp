#include "disk/drive_capacity.h"

#include <algorithm>

#include "base/little_endian.h"

namespace disk {
namespace {

constexpr std::size_t kIdentifyWords = 128;
constexpr std::size_t kTnvmcapOffset = 280;
constexpr std::size_t kTnvmcapBytes = 16;

std::uint16_t Word(std::span<const std::uint8_t> identify, std::size_t w) {
    return base::LoadLe16(identify, 2 * w);
}

// Words first..first+count-1 as one little-endian number.
CapacityBytes Words(std::span<const std::uint8_t> identify, std::size_t first, std::size_t count) {
    CapacityBytes value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 16) | Word(identify, first + i);
    return value;
}

}  // namespace

std::optional<CapacityBytes> AtaCapacity(std::span<const std::uint8_t> identify) {
    if (identify.size() < 2 * kIdentifyWords) return std::nullopt;
    const bool lba48 = (Word(identify, 83) & 0x0400) != 0;
    const CapacityBytes sectors = lba48 ? Words(identify, 100, 4) : Words(identify, 60, 2);
    const std::uint16_t w106 = Word(identify, 106);
    const bool longSectors = (w106 & 0xC000) == 0x4000 && (w106 & 0x1000) != 0;
    const CapacityBytes sectorBytes = longSectors ? 2 * Words(identify, 117, 2) : 512;
    return sectors * sectorBytes;
}

std::optional<CapacityBytes> NvmeTotalCapacity(std::span<const std::uint8_t> identify) {
    if (identify.size() < kTnvmcapOffset + kTnvmcapBytes) return std::nullopt;
    CapacityBytes value = 0;
    for (std::size_t i = kTnvmcapBytes; i-- > 0;)
        value = (value << 8) | identify[kTnvmcapOffset + i];
    if (value == 0) return std::nullopt;
    return value;
}

std::optional<CapacityBytes> NvmeNamespaceCapacity(std::span<const std::uint8_t> identify) {
    constexpr std::size_t kNlbaf = 25;
    constexpr std::size_t kFlbas = 26;
    constexpr std::size_t kLbaFormats = 128;
    constexpr std::size_t kLbaFormatBytes = 4;
    if (identify.size() <= kFlbas) return std::nullopt;
    CapacityBytes blocks = 0;
    for (std::size_t i = 8; i-- > 0;) blocks = (blocks << 8) | identify[i];
    const std::uint8_t flbas = identify[kFlbas];
    std::size_t format = flbas & 0x0F;
    if (identify[kNlbaf] >= 16) format |= static_cast<std::size_t>((flbas >> 5) & 0x03) << 4;
    if (blocks == 0 || format > identify[kNlbaf]) return std::nullopt;
    const std::size_t entry = kLbaFormats + kLbaFormatBytes * format;
    if (identify.size() < entry + kLbaFormatBytes) return std::nullopt;
    const unsigned lbads = identify[entry + 2];
    // 2^9 = 512 bytes is the smallest block NVMe allows; beyond 2^32 no drive formats.
    if (lbads < 9 || lbads > 32) return std::nullopt;
    return blocks << lbads;
}

std::string GigabytesText(CapacityBytes bytes) {
    const CapacityBytes tenths = bytes / 100'000'000 + (bytes % 100'000'000 >= 50'000'000 ? 1 : 0);
    std::string digits;
    CapacityBytes whole = tenths / 10;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(whole % 10)));
        whole /= 10;
    } while (whole != 0);
    std::reverse(digits.begin(), digits.end());
    return digits + "." + static_cast<char>('0' + static_cast<int>(tenths % 10));
}

}  // namespace disk
