// The verdict's checks: the figures the other pages already hold, judged line by line against
// the rules of verdict_rules.h. Pure: plain texts and values in, lines out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disk/hd_smart.h"
#include "verdict/verdict_rules.h"

namespace verdict {

enum class Status : std::uint8_t { kNormal, kAttention, kFault, kUnknown };

// The figures, as the data sources keep them for their pages (decimal texts, empty when not
// read).
struct BatteryFacts {
    std::string strWear;        // whole percent, as the battery page shows it
    std::string strCycleCount;  // as the battery page shows it
};
struct DriveFacts {
    DriveKind kind = DriveKind::kNone;  // whose identity was read: which wear line applies
    std::string strPowerOnHours;
    std::string strReallocatedSectors;  // ATA attributes 5, 197, 198
    std::string strPendingSectors;
    std::string strUncorrectableSectors;
    std::string strPercentageUsed;  // NVMe health log
    std::string strAvailableSpare;
    std::string strSpareThreshold;
    std::string strMediaErrors;
    std::string strCriticalWarning;
};
struct SerialFacts {
    std::string strSystem;  // type 1; empty when the structure is missing (GBK, as stored)
    std::string strBoard;   // type 2
};
struct PanelFacts {
    bool bChecksumOk = false;
    std::optional<std::uint8_t> bitsPerColor;
};
struct Facts {
    BatteryFacts battery;                // empty texts: no battery read
    DriveFacts drive;                    // kind kNone and empty texts: no drive read
    std::optional<SerialFacts> serials;  // nullopt: no SMBIOS table read
    std::optional<PanelFacts> panel;     // nullopt: no EDID read
};

struct Row {
    std::string_view label;  // UTF-8
    Status status = Status::kUnknown;
    std::string strFigure;  // GBK, without brackets; empty for kUnknown
};

// One row per check that applies, in the page's order: battery wear, battery cycles, power-on
// hours, bad sectors (unless the drive is NVMe), drive life (unless it is ATA), serial
// numbers, screen.
std::vector<Row> JudgeChecks(const Facts& facts);

// The status of `figure` by the threshold row of `measure`.
Status Judge(Measure measure, std::uint64_t figure);

// The decimal number in `text` (digits only), saturating at the largest 64-bit value; nullopt
// for an empty text or any other character (a sign included).
std::optional<std::uint64_t> ParseCount(std::string_view text);

// True when `serial` names no machine: empty or blank, one of kSerialPlaceholders, or one
// character repeated, after trimming blanks and NULs and ignoring case.
bool IsPlaceholderSerial(std::string_view serial);

}  // namespace verdict
