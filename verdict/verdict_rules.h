// Where the verdict page draws its lines: every threshold a figure is judged by, and the serial
// numbers firmware writes when nobody set one. The README lists the same table; change both.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace verdict {

// The figures judged against a fixed threshold.
enum class Measure : std::uint8_t {
    kBatteryWear,    // the battery page's wear, whole percent
    kBatteryCycles,  // the battery page's cycle count
    kPowerOnHours,   // the hard-disk page's power-on hours
    kBadSectors,     // each of ATA attributes 5, 197 and 198
    kLifeUsed,       // NVMe percentage used
    kMediaErrors,    // NVMe media and data integrity errors
    kColourBits,     // the panel's bits per colour
};

enum class Sense : std::uint8_t {
    kAtLeast,  // a figure at or above the level reaches it
    kBelow,    // a figure below the level reaches it
};

struct Threshold {
    Measure measure;
    Sense sense;
    std::optional<std::uint64_t> attention;  // 注意 from here; nullopt: never
    std::optional<std::uint64_t> fault;      // 异常 from here (before 注意); nullopt: never
};

inline constexpr std::array<Threshold, 7> kThresholds = {{
    // Laptop cells are rated to keep about 80 % of their design capacity through their rated
    // life: past 20 % lost a pack is at its end of life by that rating, past 40 % it is
    // half gone and a buyer should price in a new one.
    {Measure::kBatteryWear, Sense::kAtLeast, 20, 40},
    // Makers rate laptop packs for 300 to 1000 full cycles: 500 is past the low ratings,
    // 1000 past the highest, whatever the capacity shows today.
    {Measure::kBatteryCycles, Sense::kAtLeast, 500, 1000},
    // 8760 hours is a year switched on around the clock, or several years of office use: far
    // more than the "barely used" a seller may claim; hours alone never make a fault.
    {Measure::kPowerOnHours, Sense::kAtLeast, 8760, std::nullopt},
    // A drive remaps, waits to remap or cannot read sectors only after media damage; one is
    // enough to expect more.
    {Measure::kBadSectors, Sense::kAtLeast, std::nullopt, 1},
    // The drive's own estimate of its rated endurance used: 80 % is its last fifth, 100 % is
    // beyond what its maker warrants (NVMe lets the figure pass 100).
    {Measure::kLifeUsed, Sense::kAtLeast, 80, 100},
    // Media and data integrity errors are data the drive could not return: any is a fault.
    {Measure::kMediaErrors, Sense::kAtLeast, std::nullopt, 1},
    // Fewer than 8 bits per colour is a 6-bit panel dithering its colours: the cheaper panel
    // sellers swap in for an 8-bit one. Not broken, so attention only.
    {Measure::kColourBits, Sense::kBelow, 8, std::nullopt},
}};
// Two more NVMe rules have no fixed level: the available spare below the threshold the drive
// itself reports (log byte 4) is a fault, since the drive then warns that it is running out of
// blocks to replace worn ones; and so is any bit of the critical-warning byte (log byte 0),
// each of which the drive sets only when something is wrong.

constexpr const Threshold& ThresholdOf(Measure measure) {
    for (const Threshold& row : kThresholds) {
        if (row.measure == measure) return row;
    }
    return kThresholds[0];  // not reached: every measure has its row (checked below)
}

constexpr bool EveryMeasureHasOneRow() {
    for (std::size_t m = 0; m < kThresholds.size(); ++m) {
        int rows = 0;
        for (const Threshold& row : kThresholds) rows += row.measure == Measure(m) ? 1 : 0;
        if (rows != 1) return false;
    }
    return true;
}
static_assert(EveryMeasureHasOneRow());

// Serial numbers that name no machine: firmware templates and values boards leave the
// factory with (a board swapped in for repair often carries one). Compared after trimming
// blanks and NULs, ignoring case; a serial of one character repeated (two or more) counts too.
inline constexpr std::array<std::string_view, 6> kSerialPlaceholders = {
    "To be filled by O.E.M.",
    "Default string",
    "System Serial Number",
    "Not Specified",
    "0",
    "0123456789",
};

}  // namespace verdict
