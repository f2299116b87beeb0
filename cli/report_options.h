// The command line of quorrix-report.
#pragma once

#include <optional>
#include <string>
#include <variant>

namespace cli {

struct ReportOptions {
    int nPage = 0;  // 1 to 7, 10 (the display panel) or 12 (the verdict); 0 prints every page
    bool bRaw = false;
    bool bHelp = false;
    bool bVersion = false;
    std::optional<std::string> fromDump;  // dmidecode --dump-bin file
    std::optional<std::string> dmiDir;    // copy of /sys/firmware/dmi/tables
    std::optional<std::string>
        diskDump;  // identify.bin + smart.bin, or id-ctrl.bin + smart-log.bin
    std::optional<std::string> powerSupply;  // copy of /sys/class/power_supply
    std::optional<std::string> edid;         // a display panel's EDID
    std::optional<std::string> save;         // folder to keep what was read in (cli/save_dir.h)
    std::optional<std::string> from;         // such a folder, read back

    bool Wants(int page) const { return nPage == 0 || nPage == page; }
};

// The options, or the text of what is wrong with the command line.
std::variant<ReportOptions, std::string> ParseOptions(int argc, const char* const* argv);

extern const char* const kUsage;

}  // namespace cli
