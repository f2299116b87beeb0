// The reads that need root: the raw SMBIOS tables, SG_IO on a disk and NVMe admin commands.
// The window itself always runs as the user who started it. Started as root, it reads
// directly. Otherwise it asks pkexec to run quorrix-probe, the small program that reads
// those bytes as root and writes them on a pipe, and hands them to the decoders through
// in-memory sources; when that cannot happen, it reads what the user can.
#pragma once

#include <memory>
#include <string>

#include "platform/drive_system.h"
#include "platform/smbios_source.h"

namespace platform {

// The SMBIOS and drive sources for the window's reader.
struct PrivilegedSources {
    std::unique_ptr<ISmbiosSource> smbios;
    std::unique_ptr<IDriveSystem> drives;
    // Empty, or one line saying why the sources hold only what an ordinary user can read.
    std::string strWhy;
};

// A read under way: started as early as possible, finished when the window gathers.
class IPrivilegedRead {
public:
    virtual ~IPrivilegedRead() = default;
    // Waits for the probe (at most its time limit) and returns the sources. Call once.
    [[nodiscard]] virtual PrivilegedSources Finish() = 0;
};

// Starts the read: as root nothing needs starting; otherwise the probe starts through
// pkexec now, and its prompt may already be showing when this returns. The installed probe
// runs only when it and every folder above it are root's alone. `bBuildProbe` takes the
// probe built beside the window instead (a run from a checkout, whose files are the user's).
[[nodiscard]] std::unique_ptr<IPrivilegedRead> StartPrivilegedRead(bool bBuildProbe = false);

}  // namespace platform
