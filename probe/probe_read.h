// What quorrix-probe does, over sources it is handed: read the SMBIOS entry point and table
// files of a folder shaped like /sys/firmware/dmi/tables, and send drive 0 the SMART reader's
// commands, keeping each call's outcome. It decodes nothing.
#pragma once

#include <string>

#include "platform/drive_system.h"
#include "probe/probe_stream.h"

namespace probe {

// The reader's command sequence on drive 0 of `drives` (see CHdSmart::ReadDrive): the
// version; for a drive that takes SMART commands, SMART ENABLE OPERATIONS and, when it
// succeeded, IDENTIFY DEVICE and SMART READ DATA; for an NVMe controller, Identify Controller,
// when it answered Identify Namespace of namespace 1, and the SMART / Health log. Which calls
// follow depends only on the outcomes, never on the bytes, so a replay of them answers every
// call the reader makes: the reader asks for the namespace only when the controller reports
// no total capacity, which only the bytes tell, so the probe always asks.
void SendDriveCommands(platform::IDriveSystem& drives);

// The entry point and table files in `dmiDir` (the ones that could be read) and the
// recorded calls of SendDriveCommands on `drives`.
ProbeData ReadProbeData(const std::string& dmiDir, platform::IDriveSystem& drives);

}  // namespace probe
