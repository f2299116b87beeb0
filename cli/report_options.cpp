#include "cli/report_options.h"

#include <string_view>

namespace cli {

const char* const kUsage =
    "Usage: quorrix-report [OPTION]...\n"
    "Print the pages of Quorrix (BIOS, system, processor, board, memory, hard disk, battery,\n"
    "display panel, verdict) as text, from this machine or from saved data.\n"
    "\n"
    "  --page N             print page N alone (1 BIOS, 2 system, 3 processor, 4 board,\n"
    "                       5 memory, 6 hard disk, 7 battery, 10 display panel, 12 verdict),\n"
    "                       without its caption line\n"
    "  --raw                write the exact page bytes (GBK, CR LF) instead of UTF-8 text,\n"
    "                       to a file or a pipe (never to a terminal)\n"
    "  --from-dump FILE     decode an SMBIOS table saved by 'dmidecode --dump-bin FILE'\n"
    "  --dmi-dir DIR        decode a copy of /sys/firmware/dmi/tables\n"
    "  --disk-dump DIR      decode saved drive sectors: identify.bin and smart.bin (ATA),\n"
    "                       or id-ctrl.bin and smart-log.bin (NVMe)\n"
    "  --power-supply DIR   read batteries from a copy of /sys/class/power_supply\n"
    "  --edid FILE          decode a display panel's EDID (at least 128 bytes, at most 32 KiB)\n"
    "  --save DIR           also keep the raw data that was read in the new folder DIR:\n"
    "                       dmi/, disk/, power_supply/ and edid.bin, as the options\n"
    "                       above read them\n"
    "  --from DIR           decode a folder written by --save\n"
    "  --help               show this help and exit\n"
    "  --version            show the version and exit\n"
    "\n"
    "Without the decoding options the data is read from this machine; the SMBIOS and hard\n"
    "disk pages need root for that. Exit status: 0 on success, 2 on bad arguments or\n"
    "unreadable input, 1 when the pages could not be written.\n";

namespace {

bool TakeValue(int argc, const char* const* argv, int& i, std::string_view name, std::string& value,
               std::string& err) {
    const std::string_view arg = argv[i];
    if (arg.size() > name.size() && arg.substr(0, name.size()) == name && arg[name.size()] == '=') {
        value = std::string(arg.substr(name.size() + 1));
    } else if (i + 1 < argc) {
        value = argv[++i];
    } else {
        err = "option " + std::string(name) + " needs a value";
        return false;
    }
    if (value.empty()) {
        err = "option " + std::string(name) + " needs a value";
        return false;
    }
    return true;
}

bool Matches(std::string_view arg, std::string_view name) {
    return arg == name || (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                           arg[name.size()] == '=');
}

}  // namespace

std::variant<ReportOptions, std::string> ParseOptions(int argc, const char* const* argv) {
    ReportOptions options;
    std::string err;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        std::string value;
        std::optional<std::string>* target = nullptr;
        std::string_view name;
        if (arg == "--help" || arg == "-h") {
            options.bHelp = true;
            continue;
        }
        if (arg == "--version") {
            options.bVersion = true;
            continue;
        }
        if (arg == "--raw") {
            options.bRaw = true;
            continue;
        }
        if (Matches(arg, "--page")) {
            if (!TakeValue(argc, argv, i, "--page", value, err)) return err;
            if (value == "10" || value == "12") {
                options.nPage = value == "10" ? 10 : 12;
                continue;
            }
            if (value.size() != 1 || value[0] < '1' || value[0] > '7') {
                return "--page takes a page number from 1 to 7, 10 or 12, not '" + value + "'";
            }
            options.nPage = value[0] - '0';
            continue;
        }
        if (Matches(arg, "--from-dump")) {
            target = &options.fromDump;
            name = "--from-dump";
        } else if (Matches(arg, "--dmi-dir")) {
            target = &options.dmiDir;
            name = "--dmi-dir";
        } else if (Matches(arg, "--disk-dump")) {
            target = &options.diskDump;
            name = "--disk-dump";
        } else if (Matches(arg, "--power-supply")) {
            target = &options.powerSupply;
            name = "--power-supply";
        } else if (Matches(arg, "--edid")) {
            target = &options.edid;
            name = "--edid";
        } else if (Matches(arg, "--save")) {
            target = &options.save;
            name = "--save";
        } else if (Matches(arg, "--from")) {
            target = &options.from;
            name = "--from";
        } else {
            return "unknown argument '" + std::string(arg) + "'";
        }
        if (target->has_value()) return "option " + std::string(name) + " given twice";
        if (!TakeValue(argc, argv, i, name, value, err)) return err;
        *target = value;
    }
    if (options.from && (options.fromDump || options.dmiDir || options.diskDump ||
                         options.powerSupply || options.edid)) {
        return "--from names every kind of saved data; give no --from-dump, --dmi-dir, "
               "--disk-dump, --power-supply or --edid with it";
    }
    if (options.fromDump && options.dmiDir) {
        return "--from-dump and --dmi-dir both name an SMBIOS table; give one of them";
    }
    return options;
}

}  // namespace cli
