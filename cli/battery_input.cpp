#include <filesystem>
#include <system_error>

#include "cli/inputs.h"
#include "platform/power_supply_folder.h"
#include "platform/system_sources.h"

namespace cli {

GatheredBattery GatherBattery(const ReportOptions& options, std::string* err) {
    GatheredBattery gathered;
    if (options.powerSupply) {
        // A folder without batteries is a machine without batteries; a name that is not a
        // readable folder is a mistake on the command line.
        const std::filesystem::path dir = PathOf(*options.powerSupply);
        std::error_code ec;
        const auto status = std::filesystem::status(dir, ec);
        if (status.type() == std::filesystem::file_type::not_found) {
            *err = *options.powerSupply + ": no such folder";
            return {};
        }
        if (ec) {
            *err = *options.powerSupply + ": " + ec.message();
            return {};
        }
        if (!std::filesystem::is_directory(status)) {
            *err = *options.powerSupply + ": not a folder";
            return {};
        }
        std::filesystem::directory_iterator probe(dir, ec);
        if (ec) {
            *err = *options.powerSupply + ": " + ec.message();
            return {};
        }
        gathered.batteries =
            std::make_unique<platform::CPowerSupplyFolderSystem>(*options.powerSupply);
    } else {
        gathered.batteries = platform::MakeSystemBatterySystem();
    }
    gathered.battery = std::make_unique<CBatteryInfo>(*gathered.batteries);
    return gathered;
}

}  // namespace cli
