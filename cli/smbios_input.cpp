#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "cli/inputs.h"
#include "platform/file_io.h"
#include "platform/smbios_source.h"
#include "platform/sysfs/dmi_folder_source.h"
#include "platform/sysfs/smbios_entry_point.h"
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

// A saved table too large for the decoder is an error of the file named, not a notice: the
// window shows its message box, the report refuses the file.
bool FitsTheDecoder(const platform::RawSmbios& tables, const std::string& path, std::string* err) {
    if (!tables.table || tables.table->size() < CSMBios::kMaxTableBytes) return true;
    *err = path + ": the SMBIOS table is " +
           (tables.table->size() > CSMBios::kMaxTableBytes
                ? "larger than " + std::to_string(CSMBios::kMaxTableBytes)
                : std::to_string(tables.table->size())) +
           " bytes; only tables below " + std::to_string(CSMBios::kMaxTableBytes) +
           " bytes are read";
    return false;
}

std::unique_ptr<CSMBios> FromDumpFile(const std::string& path, std::string* err) {
    const auto file =
        platform::ReadSavedFileBytes(path, kMaxDumpBytes, err, platform::SavedFile::kNamed);
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
    if (!FitsTheDecoder(*tables, path, err)) return nullptr;
    return Decode(std::move(*tables));
}

// A saved copy of /sys/firmware/dmi/tables: both files must be there and the entry point
// valid, or the command line named the wrong folder. Saved copies may name the entry point
// without its prefix, as the folder source accepts; that name is tried only when the first
// one does not exist at all (a pipe or a folder under the first name is an error).
std::unique_ptr<CSMBios> FromDmiFolder(const std::string& dir, std::string* err) {
    std::string entryPath = dir + "/smbios_entry_point";
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(PathOf(entryPath), ec)) &&
        std::filesystem::exists(std::filesystem::symlink_status(PathOf(dir + "/entry_point"), ec)))
        entryPath = dir + "/entry_point";
    auto entry = platform::ReadSavedFileBytes(entryPath, kMaxEntryPointBytes, err);
    if (!entry) return nullptr;
    if (!platform::ParseEntryPoint(*entry)) {
        *err = entryPath + ": not an SMBIOS entry point (no _SM3_, _SM_ or _DMI_ anchor)";
        return nullptr;
    }
    const std::string tablePath = dir + "/DMI";
    auto table = platform::ReadSavedFileBytes(tablePath, CSMBios::kMaxTableBytes, err);
    if (!table) return nullptr;
    platform::RawSmbios tables = platform::FromEntryPoint(entry, std::move(table));
    if (!FitsTheDecoder(tables, tablePath, err)) return nullptr;
    return Decode(std::move(tables));
}

}  // namespace

std::unique_ptr<CSMBios> GatherSmbios(const ReportOptions& options, std::string* err) {
    if (options.fromDump) return FromDumpFile(*options.fromDump, err);
    if (options.dmiDir) return FromDmiFolder(*options.dmiDir, err);
    // Saved data of another kind named: this machine's tables are not read.
    if (NamesSavedData(options)) return Decode({});
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
