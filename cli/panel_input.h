// The built-in panel's EDID for the report: from the file --edid names, or live.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/report_options.h"
#include "display/edid.h"

namespace cli {

struct GatheredPanel {
    std::vector<std::uint8_t> bytes;  // as read, for --save
    std::optional<display::EdidPanel> panel;
};

// The EDID of options.edid, or of this machine's built-in panel when no saved data is named
// (none when it has none). False with `*err` set when the named file is unreadable, shorter
// than one block, longer than kMaxEdidBytes or lacks the EDID header.
bool GatherPanel(const ReportOptions& options, GatheredPanel* gathered, std::string* err);

}  // namespace cli
