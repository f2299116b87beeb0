// A small /sys/block tree for the drive-listing tests, built the way the kernel lays it out:
// /sys/block/<name> links to the disk under /sys/devices, whose "device" link names the
// parent device (SCSI device, NVMe controller or subsystem).
#pragma once

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace drivetest {

namespace fs = std::filesystem;

// Adds disk `name` at sys/devices/`parent`/block/`name`, linked from sys/block.
// `deviceLink` (below sys/devices) becomes its device link unless empty; `removable` is
// written unless empty.
inline void AddDisk(const testsupport::CTempDir& dir, const std::string& name,
                    const std::string& parent, const std::string& deviceLink,
                    const std::string& removable = "0") {
    const fs::path sys = dir.Path() / "sys";
    const fs::path disk = sys / "devices" / parent / "block" / name;
    fs::create_directories(disk);
    fs::create_directories(sys / "block");
    if (!removable.empty())
        dir.Write("sys/devices/" + parent + "/block/" + name + "/removable", removable + "\n");
    if (!deviceLink.empty()) {
        fs::create_directories(sys / "devices" / deviceLink);
        fs::create_directory_symlink(sys / "devices" / deviceLink, disk / "device");
    }
    fs::create_directory_symlink(disk, sys / "block" / name);
}

// The machine of the tests: an NVMe disk behind a multipath subsystem (controller nvme2),
// another NVMe disk, a SATA disk, a virtio disk, a USB stick, a removable card reader, and
// the virtual and optical kinds that are never drives.
inline void BuildMachine(const testsupport::CTempDir& dir) {
    const std::string pci = "pci0000:00/";
    AddDisk(dir, "sda", pci + "0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0",
            pci + "0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0");
    AddDisk(dir, "sdb", pci + "0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0",
            pci + "0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0");
    AddDisk(dir, "sdc", pci + "0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0",
            pci + "0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0", "1");
    AddDisk(dir, "vda", pci + "0000:00:02.0/virtio1", pci + "0000:00:02.0/virtio1", "");
    AddDisk(dir, "nvme1n1", pci + "0000:00:1d.0/nvme/nvme1", pci + "0000:00:1d.0/nvme/nvme1");
    AddDisk(dir, "nvme0n1", "virtual/nvme-subsystem/nvme-subsys0",
            "virtual/nvme-subsystem/nvme-subsys0");
    fs::create_directories(dir.Path() / "sys/devices/virtual/nvme-subsystem/nvme-subsys0/nvme2");
    fs::create_directories(dir.Path() / "sys/devices/virtual/nvme-subsystem/nvme-subsys0/nvme3");
    AddDisk(dir, "nvme0c2n1", pci + "0000:00:1c.0/nvme/nvme2", pci + "0000:00:1c.0/nvme/nvme2");
    for (const char* name : {"loop0", "ram0", "zram0", "dm-0", "md127", "sr0", "fd0"}) {
        AddDisk(dir, name, std::string("virtual/") + name, std::string("virtual/") + name + "-dev");
    }
    AddDisk(dir, "nbd0", "virtual/nbd0", "");  // no device link
}

}  // namespace drivetest
