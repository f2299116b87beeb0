// SMBIOS tables in a folder shaped like Linux's /sys/firmware/dmi/tables: the entry point
// structure (smbios_entry_point) gives the version, DMI holds the structures. Linux reads its
// live tables this way; every system reads saved copies of such a folder this way.
#pragma once

#include <string>

#include "platform/smbios_source.h"

namespace platform {

// Saved copies of the folder may name the entry point file `entry_point`; both names are read.
class CDmiFolderSmbiosSource final : public ISmbiosSource {
public:
    explicit CDmiFolderSmbiosSource(std::string dir);
    RawSmbios ReadTables() override;

private:
    std::string m_strDir;
};

}  // namespace platform
