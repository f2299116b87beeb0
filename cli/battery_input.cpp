#include <filesystem>
#include <system_error>

#include "battery/battery_info.h"
#include "battery/battery_page.h"
#include "cli/inputs.h"
#include "platform/battery_system.h"

namespace cli {

std::optional<std::string> GatherBatteryPage(const ReportOptions& options, const CSMBios& smbios,
                                             std::string* err) {
    std::string root = platform::CSysfsBatterySystem::kDefaultRoot;
    if (options.powerSupply) {
        // A folder without batteries is a machine without batteries; a name that is not a
        // readable folder is a mistake on the command line.
        const std::filesystem::path dir(*options.powerSupply);
        std::error_code ec;
        const auto status = std::filesystem::status(dir, ec);
        if (status.type() == std::filesystem::file_type::not_found) {
            *err = *options.powerSupply + ": no such folder";
            return std::nullopt;
        }
        if (ec) {
            *err = *options.powerSupply + ": " + ec.message();
            return std::nullopt;
        }
        if (!std::filesystem::is_directory(status)) {
            *err = *options.powerSupply + ": not a folder";
            return std::nullopt;
        }
        std::filesystem::directory_iterator probe(dir, ec);
        if (ec) {
            *err = *options.powerSupply + ": " + ec.message();
            return std::nullopt;
        }
        root = *options.powerSupply;
    }
    platform::CSysfsBatterySystem batteries(root);
    const CBatteryInfo battery(batteries);
    return battery::BuildBatteryPage(battery, smbios);
}

}  // namespace cli
