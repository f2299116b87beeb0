#include "platform/file_io.h"
#include "platform/smbios_source.h"

namespace platform {
namespace {
// The entry point is at most 31 bytes; the table of an SMBIOS 3 system may in principle
// be large, and anything past 64000 bytes is refused by the reader anyway, so reading a
// little more than that is enough to tell.
constexpr std::size_t kMaxEntryPointBytes = 4096;
constexpr std::size_t kMaxTableBytes = 1 << 20;
}  // namespace

CSysfsSmbiosSource::CSysfsSmbiosSource(std::string dir) : m_strDir(std::move(dir)) {}

SmbiosTables CSysfsSmbiosSource::ReadTables() {
    SmbiosTables tables;
    tables.entryPoint = ReadFileBytes(m_strDir + "/smbios_entry_point", kMaxEntryPointBytes);
    // Saved copies of the folder often name the entry point file without its prefix.
    if (!tables.entryPoint)
        tables.entryPoint = ReadFileBytes(m_strDir + "/entry_point", kMaxEntryPointBytes);
    tables.table = ReadFileBytes(m_strDir + "/DMI", kMaxTableBytes);
    return tables;
}

}  // namespace platform
