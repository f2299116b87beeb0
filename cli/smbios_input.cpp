#include <cstdio>
#include <string_view>

#include "cli/inputs.h"
#include "platform/dmi_folder_source.h"
#include "platform/file_io.h"
#include "platform/smbios_entry_point.h"
#include "platform/smbios_source.h"
#include "platform/system_sources.h"
#include "smbios/smbios.h"
#include "text/gbk.h"

namespace cli {
namespace {

constexpr std::size_t kMaxDumpBytes = 16u << 20;
constexpr std::size_t kMaxEntryPointBytes = 4096;

// The overflow message goes to stderr, as the window would show it in a box.
void PrintNotice(std::string_view text, std::string_view caption) {
    std::string line = text::GbkToUtf8(caption) + ": " + text::GbkToUtf8(text);
    while (!line.empty() && line.back() == '\n') line.pop_back();
    std::fprintf(stderr, "quorrix-report: %s\n", line.c_str());
}

std::unique_ptr<CSMBios> Decode(platform::RawSmbios tables) {
    platform::CFixedSmbiosSource source(std::move(tables));
    return std::make_unique<CSMBios>(source, PrintNotice);
}

std::unique_ptr<CSMBios> FromDumpFile(const std::string& path, std::string* err) {
    const auto file = platform::ReadFileBytes(path, kMaxDumpBytes, err);
    if (!file) return nullptr;
    if (file->size() > kMaxDumpBytes) {
        *err = path + ": larger than any SMBIOS dump";
        return nullptr;
    }
    std::string why;
    auto tables = platform::SplitDumpFile(*file, &why);
    if (!tables) {
        *err = path + ": " + why;
        return nullptr;
    }
    return Decode(std::move(*tables));
}

// A saved copy of /sys/firmware/dmi/tables: both files must be there and the entry point
// valid, or the command line named the wrong folder.
std::unique_ptr<CSMBios> FromDmiFolder(const std::string& dir, std::string* err) {
    std::string entryPath = dir + "/smbios_entry_point";
    auto entry = platform::ReadFileBytes(entryPath, kMaxEntryPointBytes, err);
    if (!entry) {  // saved copies may name it without the prefix, as the source accepts
        std::string why;
        entry = platform::ReadFileBytes(dir + "/entry_point", kMaxEntryPointBytes, &why);
        if (!entry) return nullptr;
        entryPath = dir + "/entry_point";
    }
    if (!platform::ParseEntryPoint(*entry)) {
        *err = entryPath + ": not an SMBIOS entry point (no _SM3_, _SM_ or _DMI_ anchor)";
        return nullptr;
    }
    if (!platform::ReadFileBytes(dir + "/DMI", 0, err)) return nullptr;
    platform::CDmiFolderSmbiosSource source(dir);
    return Decode(source.ReadTables());
}

}  // namespace

std::unique_ptr<CSMBios> GatherSmbios(const ReportOptions& options, std::string* err) {
    if (options.fromDump) return FromDumpFile(*options.fromDump, err);
    if (options.dmiDir) return FromDmiFolder(*options.dmiDir, err);
    platform::RawSmbios tables = platform::MakeSystemSmbiosSource()->ReadTables();
    if (!tables.bReached) {
        const std::string hint =
            platform::MissingRightsHint(platform::PrivilegedRead::kFirmwareTables);
        std::fprintf(stderr,
                     "quorrix-report: the firmware's SMBIOS tables could not be read; the SMBIOS "
                     "pages stay empty%s\n",
                     hint.empty() ? "" : (" (" + hint + ")").c_str());
    }
    return Decode(std::move(tables));
}

}  // namespace cli
