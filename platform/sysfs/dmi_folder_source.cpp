#include "platform/sysfs/dmi_folder_source.h"

#include "platform/file_io.h"
#include "platform/sysfs/smbios_entry_point.h"

namespace platform {
namespace {
// The entry point is at most 31 bytes. Anything of 64000 bytes or more is refused by the
// decoder, so reading one byte past that is enough to tell.
constexpr std::size_t kMaxEntryPointBytes = 4096;
constexpr std::size_t kMaxTableBytes = 64000;
}  // namespace

CDmiFolderSmbiosSource::CDmiFolderSmbiosSource(std::string dir) : m_strDir(std::move(dir)) {}

RawSmbios CDmiFolderSmbiosSource::ReadTables() {
    auto entryPoint = ReadFileBytes(m_strDir + "/smbios_entry_point", kMaxEntryPointBytes);
    if (!entryPoint) entryPoint = ReadFileBytes(m_strDir + "/entry_point", kMaxEntryPointBytes);
    if (!entryPoint) return {};
    return FromEntryPoint(entryPoint, ReadFileBytes(m_strDir + "/DMI", kMaxTableBytes));
}

}  // namespace platform
