#include "platform/linux/drive_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/linux/drive_tree_test_support.h"

namespace {

std::vector<std::string> Names(const std::vector<platform::BlockDrive>& drives) {
    std::vector<std::string> names;
    for (const auto& drive : drives) names.push_back(drive.name);
    return names;
}

TEST(ListPhysicalDrives, InternalFirstNvmeFirstThenByName) {
    testsupport::CTempDir dir;
    drivetest::BuildMachine(dir);
    const auto drives = platform::ListPhysicalDrives(dir.Path() / "sys");
    EXPECT_EQ(Names(drives),
              (std::vector<std::string>{"nvme0n1", "nvme1n1", "sdb", "vda", "sda", "sdc"}));
    ASSERT_EQ(drives.size(), 6u);
    EXPECT_TRUE(drives[0].bNvme);
    EXPECT_EQ(drives[0].controller, "nvme2");  // the subsystem's first controller
    EXPECT_EQ(drives[1].controller, "nvme1");  // the device link is the controller
    EXPECT_TRUE(drives[3].bInternal);          // no removable file: not removable
    EXPECT_FALSE(drives[4].bInternal);         // on USB
    EXPECT_FALSE(drives[5].bInternal);         // removable
    EXPECT_FALSE(drives[2].bNvme);
    EXPECT_EQ(drives[2].controller, "");
}

TEST(ListPhysicalDrives, EmptyOrMissingTree) {
    testsupport::CTempDir dir;
    EXPECT_TRUE(platform::ListPhysicalDrives(dir.Path() / "sys").empty());
    drivetest::AddDisk(dir, "loop0", "virtual/loop0", "");
    EXPECT_TRUE(platform::ListPhysicalDrives(dir.Path() / "sys").empty());
}

TEST(ListPhysicalDrives, NvmeControllerFromTheNameWhenTheLinkSaysNothing) {
    testsupport::CTempDir dir;
    drivetest::AddDisk(dir, "nvme12n3", "virtual/odd/nvme12n3", "virtual/odd-parent");
    const auto drives = platform::ListPhysicalDrives(dir.Path() / "sys");
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives[0].controller, "nvme12");
}

TEST(DriveOrderLess, Keys) {
    const platform::BlockDrive internalSata{"sdb", "", false, true};
    const platform::BlockDrive internalNvme{"nvme9n1", "nvme9", true, true};
    const platform::BlockDrive usbNvme{"nvme0n1", "nvme0", true, false};
    const platform::BlockDrive usbSata{"sda", "", false, false};
    EXPECT_TRUE(platform::DriveOrderLess(internalNvme, internalSata));
    EXPECT_TRUE(platform::DriveOrderLess(internalSata, usbNvme));  // internal beats NVMe
    EXPECT_TRUE(platform::DriveOrderLess(usbNvme, usbSata));
    EXPECT_FALSE(platform::DriveOrderLess(internalSata, internalSata));
}

}  // namespace
