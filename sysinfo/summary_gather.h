// Gathering the summary's facts from the running system.
#pragma once

#include <string>

#include "sysinfo/system_summary.h"

namespace sysinfo {

// Reads /etc, /proc and /sys below `root` ("" for the real ones; tests pass a folder shaped
// like them) and asks the C library for the rest (kernel identity, network interfaces, time
// zone offset, locale). Whatever cannot be read stays nullopt.
SummaryFacts GatherSummaryFacts(const std::string& root = "");

}  // namespace sysinfo
