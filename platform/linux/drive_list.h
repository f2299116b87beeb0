// The physical drives of a Linux machine, as the block class in sysfs lists them, in the
// order that gives each its drive number.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

struct BlockDrive {
    std::string name;        // block device name under /dev: "sda", "nvme0n1"
    std::string controller;  // NVMe only: the controller's character device, "nvme0"
    bool bNvme = false;
    bool bInternal = false;  // not removable and not on USB
};

// The drives under `sysRoot`/block that have a device link, leaving out the virtual and
// optical kinds (loop, ram, zram, dm-, md, sr, fd) and the hidden per-path NVMe disks,
// sorted by DriveOrderLess. Empty when the folder cannot be read.
std::vector<BlockDrive> ListPhysicalDrives(const std::filesystem::path& sysRoot);

// Internal drives before removable or USB ones, NVMe before other kinds, then by name.
bool DriveOrderLess(const BlockDrive& a, const BlockDrive& b);

}  // namespace platform
