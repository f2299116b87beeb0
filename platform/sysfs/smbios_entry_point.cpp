#include "platform/sysfs/smbios_entry_point.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/little_endian.h"

namespace platform {
namespace {

// `dmidecode --dump-bin` writes the entry point at offset 0, padded to 32 bytes, and the
// table right behind it, with the entry point's table address patched to say so.
constexpr std::size_t kDumpTableOffset = 0x20;

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view anchor) {
    return bytes.size() >= anchor.size() &&
           std::equal(anchor.begin(), anchor.end(), bytes.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

// Layouts (SMBIOS 3.x, 5.2.1 and 5.2.2; the legacy DMI 2.0 entry point):
//   "_SM3_" 0x00 anchor (5) | 0x05 checksum | 0x06 length | 0x07 major | 0x08 minor
//           0x09 docrev | 0x0A revision | 0x0B reserved | 0x0C max table size (4)
//           0x10 table address (8)                                     -> 0x18 bytes
//   "_SM_"  0x00 anchor (4) | 0x04 checksum | 0x05 length | 0x06 major | 0x07 minor
//           0x08 max structure size (2) | 0x0A revision | 0x0B formatted area (5)
//           0x10 "_DMI_" | 0x15 checksum | 0x16 table length (2) | 0x18 table address (4)
//           0x1C structure count (2) | 0x1E BCD revision                -> 0x1F bytes
//   "_DMI_" 0x00 anchor (5) | 0x05 checksum | 0x06 table length (2) | 0x08 table address (4)
//           0x0C structure count (2) | 0x0E BCD revision                -> 0x0F bytes
// Checksums are not verified: the kernel checked them before publishing the entry point,
// and dump writers patch the address without always fixing them.
std::optional<EntryPoint> ParseEntryPoint(std::span<const std::uint8_t> bytes) {
    EntryPoint entry;
    if (StartsWith(bytes, "_SM3_")) {
        if (bytes.size() < 0x18) return std::nullopt;
        entry.major = bytes[0x07];
        entry.minor = bytes[0x08];
        entry.tableLength = static_cast<std::uint32_t>(base::LoadLe(bytes, 0x0C, 4));
        entry.tableAddress = base::LoadLe(bytes, 0x10, 8);
        entry.is64Bit = true;
        return entry;
    }
    if (StartsWith(bytes, "_SM_")) {
        if (bytes.size() < 0x1C) return std::nullopt;
        entry.major = bytes[0x06];
        entry.minor = bytes[0x07];
        entry.tableLength = static_cast<std::uint32_t>(base::LoadLe(bytes, 0x16, 2));
        entry.tableAddress = base::LoadLe(bytes, 0x18, 4);
        return entry;
    }
    if (StartsWith(bytes, "_DMI_")) {
        if (bytes.size() < 0x0F) return std::nullopt;
        entry.major = static_cast<std::uint8_t>(bytes[0x0E] >> 4);
        entry.minor = static_cast<std::uint8_t>(bytes[0x0E] & 0x0F);
        entry.tableLength = static_cast<std::uint32_t>(base::LoadLe(bytes, 0x06, 2));
        entry.tableAddress = base::LoadLe(bytes, 0x08, 4);
        return entry;
    }
    return std::nullopt;
}

std::optional<RawSmbios> SplitDumpFile(std::span<const std::uint8_t> file, std::string* err) {
    auto fail = [&](std::string why) -> std::optional<RawSmbios> {
        if (err) *err = std::move(why);
        return std::nullopt;
    };
    const auto entry = ParseEntryPoint(file);
    if (!entry) {
        if (StartsWith(file, "_SM3_") || StartsWith(file, "_SM_") || StartsWith(file, "_DMI_"))
            return fail("file too short for its SMBIOS entry point (" +
                        std::to_string(file.size()) + " bytes)");
        return fail("not an SMBIOS dump (no _SM3_, _SM_ or _DMI_ anchor at its start)");
    }
    // The table address of a dump normally reads 0x20. Other dump writers keep a
    // physical-memory address there (0x000E0020 in BIOS-area dumps, the firmware's own
    // address in copies of a live entry point) while still placing the table at 0x20, so
    // an address that does not lie inside the file, behind the entry point, means 0x20.
    std::size_t offset = kDumpTableOffset;
    if (entry->tableAddress >= kDumpTableOffset && entry->tableAddress < file.size())
        offset = static_cast<std::size_t>(entry->tableAddress);
    if (offset > file.size())
        return fail("file ends inside its entry point, before any table (" +
                    std::to_string(file.size()) + " bytes)");
    const std::size_t present = file.size() - offset;
    std::size_t length = entry->tableLength;
    if (present < length) {
        // "_SM3_" gives only a maximum, which captures and firmware often do not fill.
        if (!entry->is64Bit)
            return fail("file ends before the table it announces (" + std::to_string(present) +
                        " of " + std::to_string(length) + " bytes at " + Hex(offset) + ")");
        length = present;
    }
    RawSmbios tables;
    tables.bReached = true;
    tables.major = entry->major;
    tables.minor = entry->minor;
    const auto tableBytes = file.subspan(offset, length);
    tables.table.emplace(tableBytes.begin(), tableBytes.end());
    return tables;
}

RawSmbios FromEntryPoint(const std::optional<std::vector<std::uint8_t>>& entryPoint,
                         std::optional<std::vector<std::uint8_t>> table) {
    RawSmbios tables;
    if (!entryPoint) return tables;  // no way to the firmware tables at all
    tables.bReached = true;
    const auto entry = ParseEntryPoint(*entryPoint);
    if (!entry) return tables;  // reachable, but no SMBIOS data behind them
    tables.major = entry->major;
    tables.minor = entry->minor;
    tables.table = std::move(table);
    return tables;
}

}  // namespace platform
