#include <unistd.h>

#include <cstdio>
#include <string_view>

#include "cli/inputs.h"
#include "platform/file_io.h"
#include "platform/smbios_source.h"
#include "smbios/entry_point.h"
#include "smbios/smbios.h"
#include "text/gbk.h"

namespace cli {
namespace {

constexpr std::size_t kMaxDumpBytes = 16u << 20;

// The overflow message goes to stderr, as the window would show it in a box.
void PrintNotice(std::string_view text, std::string_view caption) {
    std::string line = text::GbkToUtf8(caption) + ": " + text::GbkToUtf8(text);
    while (!line.empty() && line.back() == '\n') line.pop_back();
    std::fprintf(stderr, "quorrix-report: %s\n", line.c_str());
}

std::unique_ptr<CSMBios> FromSource(platform::ISmbiosSource& source) {
    return std::make_unique<CSMBios>(source, PrintNotice);
}

}  // namespace

std::unique_ptr<CSMBios> GatherSmbios(const ReportOptions& options, std::string* err) {
    if (options.fromDump) {
        const auto file = platform::ReadFileBytes(*options.fromDump, kMaxDumpBytes, err);
        if (!file) return nullptr;
        if (file->size() > kMaxDumpBytes) {
            *err = *options.fromDump + ": larger than any SMBIOS dump";
            return nullptr;
        }
        std::string why;
        auto tables = smbios::SplitDumpFile(*file, &why);
        if (!tables) {
            *err = *options.fromDump + ": " + why;
            return nullptr;
        }
        platform::CFixedSmbiosSource source(std::move(*tables));
        return FromSource(source);
    }
    if (options.dmiDir) {
        std::string entryPath = *options.dmiDir + "/smbios_entry_point";
        auto entry = platform::ReadFileBytes(entryPath, 4096, err);
        if (!entry) {  // saved copies may name it without the prefix, as the source accepts
            std::string why;
            entry = platform::ReadFileBytes(*options.dmiDir + "/entry_point", 4096, &why);
            if (!entry) return nullptr;
            entryPath = *options.dmiDir + "/entry_point";
        }
        if (!smbios::ParseEntryPoint(*entry)) {
            *err = entryPath + ": not an SMBIOS entry point (no _SM3_, _SM_ or _DMI_ anchor)";
            return nullptr;
        }
        if (!platform::ReadFileBytes(*options.dmiDir + "/DMI", 0, err)) return nullptr;
        platform::CSysfsSmbiosSource source(*options.dmiDir);
        return FromSource(source);
    }
    platform::CSysfsSmbiosSource source;
    std::string why;
    if (!platform::ReadFileBytes(std::string(source.kDefaultDir) + "/smbios_entry_point", 0,
                                 &why)) {
        std::fprintf(stderr, "quorrix-report: %s; the SMBIOS pages stay empty%s\n", why.c_str(),
                     ::geteuid() == 0 ? "" : " (reading the firmware tables needs root)");
    }
    return FromSource(source);
}

}  // namespace cli
