// The counters read from the SMART READ DATA sector: the vendor attribute table of 30
// entries of 12 bytes from byte 2 (id, flags, current, worst, 6 raw bytes, reserved).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace disk {

inline constexpr std::size_t kAttributeTableOffset = 2;
inline constexpr std::size_t kAttributeEntryBytes = 12;
inline constexpr std::size_t kAttributeEntries = 30;
inline constexpr std::size_t kAttributeRawOffset = 5;  // in an entry, least significant first
inline constexpr std::size_t kAttributeRawBytes = 6;

inline constexpr std::uint8_t kAttrReallocatedSectors = 5;
inline constexpr std::uint8_t kAttrPowerOnHours = 9;
inline constexpr std::uint8_t kAttrPowerCycles = 12;
inline constexpr std::uint8_t kAttrTemperature = 194;
inline constexpr std::uint8_t kAttrPendingSectors = 197;
inline constexpr std::uint8_t kAttrOfflineUncorrectable = 198;

struct SmartCounters {
    std::optional<std::uint16_t> powerOnHours;       // low 16 bits of attribute 9's raw value
    std::optional<std::uint16_t> powerCycles;        // low 16 bits of attribute 12's raw value
    std::optional<std::uint8_t> temperatureCelsius;  // low byte of attribute 194's raw value
    // Low 16 bits of attribute 5's raw value: the count; drives put vendor data above it.
    std::optional<std::uint16_t> reallocatedSectors;
    std::optional<std::uint64_t> pendingSectors;        // attribute 197's whole 48-bit raw value
    std::optional<std::uint64_t> offlineUncorrectable;  // attribute 198's whole 48-bit raw value
};

// Walks all 30 entries in order; a later entry with the same id replaces an earlier one,
// and nothing past entry 29 is looked at. A sector of any size but 512 gives no counter.
SmartCounters WalkSmartAttributes(std::span<const std::uint8_t> sector);

}  // namespace disk
