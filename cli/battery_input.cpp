#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "cli/inputs.h"
#include "platform/battery_system.h"
#include "platform/sysfs/power_supply_folder.h"
#include "platform/system_sources.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// The machine without batteries: what a battery page shows when saved data of another kind
// is named and this machine's batteries are not to be read.
class CNoBatterySystem final : public platform::IBatterySystem {
public:
    std::unique_ptr<platform::IBatteryDevice> OpenFirstBattery() override { return nullptr; }
    std::uint8_t ReadBatteryLifePercent() override { return platform::kBatteryLifeUnknown; }
};

// What a file that the folder reader could open is, when it is neither a folder nor a
// regular file; nullptr for those two (and for names that lead nowhere, as a dangling link).
const char* SpecialKind(const fs::path& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);  // follows symbolic links
    switch (status.type()) {
        case fs::file_type::fifo:
            return "a pipe";
        case fs::file_type::socket:
            return "a socket";
        case fs::file_type::character:
        case fs::file_type::block:
            return "a device";
        case fs::file_type::unknown:
            return "no regular file";
        default:
            return nullptr;
    }
}

// The folder can be listed, and its entries and those of each folder in it (the supplies
// and their attribute files, which is all the reader opens) hold no pipe, socket or device.
// Asked by name only: nothing is opened, so nothing can block; one folder is open at a time.
bool HoldsOnlyFiles(const fs::path& root, std::string* err) {
    auto refuse = [&](const fs::path& path, const char* kind) {
        *err = Utf8Of(path) + ": is " + kind + ", not a file";
        return false;
    };
    std::vector<fs::path> folders;
    std::error_code ec;
    {
        fs::directory_iterator entry(root, ec);
        if (ec) {
            *err = Utf8Of(root) + ": " + ec.message();
            return false;
        }
        for (const fs::directory_iterator end; !ec && entry != end; entry.increment(ec)) {
            if (const char* kind = SpecialKind(entry->path())) return refuse(entry->path(), kind);
            std::error_code dirEc;
            if (fs::is_directory(entry->path(), dirEc)) folders.push_back(entry->path());
        }
    }  // the root is closed before its folders are opened
    for (const fs::path& folder : folders) {
        for (fs::directory_iterator file(folder, ec), end; !ec && file != end; file.increment(ec)) {
            if (const char* kind = SpecialKind(file->path())) return refuse(file->path(), kind);
        }
    }
    return true;
}

}  // namespace

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
        if (!HoldsOnlyFiles(dir, err)) return {};
        gathered.batteries =
            std::make_unique<platform::CPowerSupplyFolderSystem>(*options.powerSupply, true);
    } else if (NamesSavedData(options)) {
        gathered.batteries = std::make_unique<CNoBatterySystem>();
    } else {
        gathered.batteries = platform::MakeSystemBatterySystem();
    }
    gathered.battery = std::make_unique<CBatteryInfo>(*gathered.batteries);
    return gathered;
}

}  // namespace cli
