#include "probe/probe_sources.h"

#include "platform/sysfs/smbios_entry_point.h"
#include "probe/recorded_drive.h"

namespace probe {

std::unique_ptr<platform::ISmbiosSource> SmbiosSourceOf(const ProbeData& data) {
    return std::make_unique<platform::CFixedSmbiosSource>(
        platform::FromEntryPoint(data.smbiosEntryPoint, data.smbiosTable));
}

std::unique_ptr<platform::IDriveSystem> DriveSystemOf(const ProbeData& data) {
    return std::make_unique<platform::CReplayDriveSystem>(data.drives);
}

}  // namespace probe
