// The probe's bytes as the data sources the decoders read: the SMBIOS files as an in-memory
// table, the recorded drive calls as a drive system that answers them as the drive did.
#pragma once

#include <memory>

#include "platform/drive_system.h"
#include "platform/smbios_source.h"
#include "probe/probe_stream.h"

namespace probe {

// The tables exactly as a direct read of the same two files gives them.
std::unique_ptr<platform::ISmbiosSource> SmbiosSourceOf(const ProbeData& data);
// Drive 0 as the probe found it; every other drive number is missing.
std::unique_ptr<platform::IDriveSystem> DriveSystemOf(const ProbeData& data);

}  // namespace probe
