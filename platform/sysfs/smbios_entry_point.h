// The SMBIOS entry point structure, where a system publishes one (Linux sysfs), and files
// saved by `dmidecode --dump-bin`.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/smbios_source.h"

namespace platform {

struct EntryPoint {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    std::uint64_t tableAddress = 0;
    std::uint32_t tableLength = 0;  // exact for "_SM_" / "_DMI_", a maximum for "_SM3_"
    bool is64Bit = false;           // "_SM3_"
};

// Reads an entry point with the anchor "_SM3_" (SMBIOS 3), "_SM_" (2.x) or the legacy
// "_DMI_"; nullopt for any other anchor or a structure too short for its fields.
std::optional<EntryPoint> ParseEntryPoint(std::span<const std::uint8_t> bytes);

// What an entry point and the table behind it give the decoder: no entry point at all means
// the tables could not be reached; one without a valid anchor means they hold no SMBIOS data
// (reached, nothing read); otherwise its version, and the table when there is one.
RawSmbios FromEntryPoint(const std::optional<std::vector<std::uint8_t>>& entryPoint,
                         std::optional<std::vector<std::uint8_t>> table);

// Reads a `dmidecode --dump-bin` file (the entry point at offset 0, the table at the offset
// that the entry point's table address gives): its version and table. nullopt with `*err` set
// when the anchor is wrong or the file is shorter than the entry point or table it announces.
std::optional<RawSmbios> SplitDumpFile(std::span<const std::uint8_t> file, std::string* err);

}  // namespace platform
