// Builders of drive sectors for the disk tests: IDENTIFY DEVICE data with ATA strings at
// their word offsets, SMART READ DATA with attribute entries, Identify Controller and the
// NVMe health log. The offsets are written out as the published layouts give them rather
// than taken from the decoders' constants, so that a wrong constant fails the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace disktest {

// `text` as an ATA string at `offset`, `width` bytes, blank padded, each byte pair swapped.
inline void PutAtaString(std::vector<std::uint8_t>& sector, std::size_t offset, std::size_t width,
                         std::string_view text) {
    for (std::size_t i = 0; i < width; ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        sector[offset + (i ^ 1)] = static_cast<std::uint8_t>(c);
    }
}

inline std::vector<std::uint8_t> IdentifySector(std::string_view model, std::string_view serial,
                                                std::string_view firmware) {
    std::vector<std::uint8_t> sector(512, 0);
    sector[0] = 0x40;  // word 0: fixed device
    PutAtaString(sector, 20, 20, serial);
    PutAtaString(sector, 46, 8, firmware);
    PutAtaString(sector, 54, 40, model);
    return sector;
}

// Writes attribute `id` with the 6 raw bytes `raw` (least significant first) as entry
// `index` of the table; an index of 30 or more lands in the bytes after the table.
inline void PutAttribute(std::vector<std::uint8_t>& sector, std::size_t index, std::uint8_t id,
                         std::initializer_list<std::uint8_t> raw) {
    const std::size_t at = 2 + 12 * index;
    sector[at] = id;
    sector[at + 1] = 0x32;  // flags
    sector[at + 3] = 100;   // current
    sector[at + 4] = 100;   // worst
    std::size_t i = 0;
    for (std::uint8_t b : raw) sector[at + 5 + i++] = b;
}

inline std::vector<std::uint8_t> SmartSector() {
    std::vector<std::uint8_t> sector(512, 0);
    sector[0] = 0x10;  // data structure revision
    return sector;
}

// `text` blank padded into `width` bytes at `offset`, as NVMe stores its ASCII fields.
inline void PutAscii(std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t width,
                     std::string_view text) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
    }
}

inline std::vector<std::uint8_t> NvmeIdentifySector(std::string_view model, std::string_view serial,
                                                    std::string_view firmware) {
    std::vector<std::uint8_t> bytes(4096, 0);
    bytes[0] = 0x5C;  // vendor ID
    bytes[1] = 0x1C;
    PutAscii(bytes, 4, 20, serial);
    PutAscii(bytes, 24, 40, model);
    PutAscii(bytes, 64, 8, firmware);
    return bytes;
}

// Writes `value` little-endian into `width` bytes at `offset`.
inline void PutLe(std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t width,
                  unsigned long long value) {
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + i] = i < 8 ? static_cast<std::uint8_t>(value >> (8 * i)) : 0;
    }
}

inline std::vector<std::uint8_t> NvmeHealthLog(unsigned kelvin, unsigned long long cycles,
                                               unsigned long long hours) {
    std::vector<std::uint8_t> log(512, 0);
    PutLe(log, 1, 2, kelvin);
    log[3] = 100;  // available spare
    PutLe(log, 112, 16, cycles);
    PutLe(log, 128, 16, hours);
    PutLe(log, 144, 16, 91);  // unsafe shutdowns, right after power-on hours
    return log;
}

}  // namespace disktest
