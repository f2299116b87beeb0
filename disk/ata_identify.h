// The three text fields of ATA IDENTIFY DEVICE data (ACS-3 7.12.7): serial number (words
// 10-19), firmware revision (words 23-26) and model number (words 27-46). ATA strings hold
// two characters per 16-bit little-endian word, the first in the high byte, so every byte
// pair is stored swapped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace disk {

inline constexpr std::size_t kIdentifyKeptBytes = 256;  // words 0-127
inline constexpr std::size_t kSerialOffset = 0x14;      // 20
inline constexpr std::size_t kSerialBytes = 20;
inline constexpr std::size_t kFirmwareOffset = 0x2E;  // 46
inline constexpr std::size_t kFirmwareBytes = 8;
inline constexpr std::size_t kModelOffset = 0x36;  // 54
inline constexpr std::size_t kModelBytes = 40;

// Turns an ATA string field into plain text in place: swaps each byte pair, keeps the
// characters before the first NUL, trims white space at both ends, and writes the result to
// the start of the field, NUL-filling the rest. A lone last byte of an odd-sized field is
// not a character and becomes NUL.
void FixAtaString(std::span<std::uint8_t> field);

// The field's bytes up to its first NUL, or all of them; never more than the field.
std::string FieldText(std::span<const std::uint8_t> field);

struct AtaIdentity {
    std::string strModel;
    std::string strSerial;
    std::string strFirmware;
};

// Converts the model, serial and firmware fields of `identify` in place, in that order, and
// returns their texts.
AtaIdentity ConvertIdentifyStrings(std::span<std::uint8_t, kIdentifyKeptBytes> identify);

}  // namespace disk
