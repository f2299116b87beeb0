// The drives of this Linux machine, behind the drive seam.
#pragma once

#include <memory>
#include <string>

#include "platform/drive_system.h"

namespace platform {

// The drives of this Linux machine, as /sys/block lists them: internal disks first, NVMe
// before the others, then by name. ATA disks are reached through SG_IO ATA PASS-THROUGH,
// NVMe controllers through their admin queue. Opening needs root.
class CLinuxDriveSystem final : public IDriveSystem {
public:
    // `sysRoot` and `devRoot` stand for /sys and /dev, so tests can point at a tree of
    // their own.
    explicit CLinuxDriveSystem(std::string sysRoot = "/sys", std::string devRoot = "/dev");
    std::unique_ptr<IDrive> OpenDrive(std::uint8_t number) override;

private:
    std::string m_strSysRoot;
    std::string m_strDevRoot;
};

}  // namespace platform
