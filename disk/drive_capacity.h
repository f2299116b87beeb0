// A drive's user capacity in bytes, from its identify data, and its text in decimal gigabytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace disk {

// Capacities reach past 64 bits only in malformed data (48-bit sector counts times 32-bit
// sector sizes), which must still not wrap.
__extension__ typedef unsigned __int128 CapacityBytes;

// ATA IDENTIFY DEVICE (words 0-127 at least): the user-addressable sectors (words 100-103 when
// the 48-bit feature set is supported, word 83 bit 10; else words 60-61) times the logical
// sector size (words 117-118, in 16-bit words, when word 106 is valid, bit 14 set and bit 15
// clear, and bit 12 says so; else 512). nullopt when `identify` is shorter than 128 words.
std::optional<CapacityBytes> AtaCapacity(std::span<const std::uint8_t> identify);

// NVMe Identify Controller: TNVMCAP (bytes 280-295), nullopt when it is 0 (not reported) or
// `identify` is shorter than the field.
std::optional<CapacityBytes> NvmeTotalCapacity(std::span<const std::uint8_t> identify);

// NVMe Identify Namespace: NSZE (bytes 0-7, in logical blocks) times the data size of the
// formatted LBA format (FLBAS, byte 26: bits 3-0, and bits 6-5 above them where the namespace
// has more than 16 formats; its entry at byte 128 + 4 x index holds LBADS in bits 23-16, the
// size as a power of two). nullopt for a size of 0, a format beyond NLBAF (byte 25) or the
// structure, an LBADS below 9 (not in use), or a structure shorter than the fields.
std::optional<CapacityBytes> NvmeNamespaceCapacity(std::span<const std::uint8_t> identify);

// Bytes / 10^9 rounded half up to one decimal: "500.1", "0.0".
std::string GigabytesText(CapacityBytes bytes);

}  // namespace disk
