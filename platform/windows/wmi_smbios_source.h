// The firmware's SMBIOS table on Windows, as WMI publishes it.
#pragma once

#include <memory>

#include "platform/smbios_source.h"

namespace platform {

// Each ReadTables runs one WMI session on the calling thread: ROOT\WMI, the first instance of
// MSSMBios_RawSMBiosTables, its two version bytes and its SMBiosData. COM is initialised for
// the thread (multithreaded) for the fetch only; a thread that is already a single-threaded
// apartment is used as it is.
std::unique_ptr<ISmbiosSource> MakeWmiSmbiosSource();

}  // namespace platform
