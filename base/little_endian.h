// Little-endian fields of the byte structures the program reads and builds (SMBIOS, the
// drive and battery drivers' records, the probe's stream), one byte at a time, so that the
// host's byte order and alignment never matter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace base {

// True when the `width` bytes at `offset` lie inside `bytes`. Compares what remains after
// `offset`, so no sum can wrap around.
constexpr bool Holds(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
    return offset <= bytes.size() && bytes.size() - offset >= width;
}

// The unsigned value of the `width` bytes (at most 8) at `offset`. The caller has checked that
// they lie inside `bytes`.
constexpr std::uint64_t LoadLe(std::span<const std::uint8_t> bytes, std::size_t offset,
                               std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[offset + i];
    return value;
}

constexpr std::uint16_t LoadLe16(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(LoadLe(bytes, offset, 2));
}

constexpr std::uint32_t LoadLe32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(LoadLe(bytes, offset, 4));
}

// The field at `offset`, or nullopt when it does not lie wholly inside `bytes`.
constexpr std::optional<std::uint16_t> ReadLe16(std::span<const std::uint8_t> bytes,
                                                std::size_t offset) {
    if (!Holds(bytes, offset, 2)) return std::nullopt;
    return LoadLe16(bytes, offset);
}

constexpr std::optional<std::uint32_t> ReadLe32(std::span<const std::uint8_t> bytes,
                                                std::size_t offset) {
    if (!Holds(bytes, offset, 4)) return std::nullopt;
    return LoadLe32(bytes, offset);
}

// Writes the low `width` bytes of `value` at `offset`. The caller has checked that they lie
// inside `bytes`.
constexpr void StoreLe(std::span<std::uint8_t> bytes, std::size_t offset, std::uint64_t value,
                       std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

constexpr void StoreLe32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    StoreLe(bytes, offset, value, 4);
}

// Appends the low `width` bytes of `value`.
inline void AppendLe(std::vector<std::uint8_t>& out, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace base
