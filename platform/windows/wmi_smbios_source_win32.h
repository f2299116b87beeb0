// The firmware's SMBIOS table on Windows, as WMI publishes it.
#pragma once

#include <memory>

#include "platform/smbios_source.h"

namespace platform {

// Each ReadTables runs one WMI session: ROOT\WMI, the first instance of
// MSSMBios_RawSMBiosTables, its two version bytes and its SMBiosData, on a thread of its own
// (a multithreaded COM apartment for the fetch only; the caller's thread is left as it is),
// and waits for it at most kWmiTimeLimit. A fetch that takes longer is not reached.
std::unique_ptr<ISmbiosSource> MakeWmiSmbiosSource();

}  // namespace platform
