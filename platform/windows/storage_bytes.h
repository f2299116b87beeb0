// Little-endian 32-bit fields of the drive driver's structures, built byte by byte. The
// caller has checked that the four bytes at `offset` lie inside the span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

inline std::uint32_t LoadLe32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{bytes[offset + i]} << (8 * i);
    return value;
}

inline void StoreLe32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace platform
