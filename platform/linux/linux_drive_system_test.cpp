// The Linux drives over a fake /sys and /dev: path building and refusals. The device nodes
// are plain files, so every ioctl fails as it would on a node that is not a disk.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <filesystem>

#include "platform/linux/drive_tree_test_support.h"
#include "platform/linux/linux_drive_system.h"

namespace {

TEST(LinuxDriveSystem, OpensTheNodeOfEachDriveNumber) {
    testsupport::CTempDir dir;
    drivetest::BuildMachine(dir);
    dir.Write("dev/nvme2", "");  // drive 0's controller
    dir.Write("dev/sdb", "");    // drive 2
    platform::CLinuxDriveSystem drives((dir.Path() / "sys").string(),
                                       (dir.Path() / "dev").string());

    auto nvme = drives.OpenDrive(0);
    ASSERT_TRUE(nvme);
    EXPECT_TRUE(nvme->IsNvme());
    std::array<std::uint8_t, 24> version{};
    EXPECT_FALSE(nvme->GetVersion(version));
    int errorCode = 0;
    EXPECT_FALSE(nvme->SendCommand({0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0}, &errorCode));
    EXPECT_EQ(errorCode, ENOTTY);
    std::array<std::uint8_t, 4096> identify{};
    identify.fill(0xAA);
    EXPECT_FALSE(nvme->NvmeIdentifyController(identify));
    EXPECT_EQ(identify[0], 0);  // nothing stale is left behind

    EXPECT_FALSE(drives.OpenDrive(1));  // nvme1n1: no /dev/nvme1 here
    auto sata = drives.OpenDrive(2);
    ASSERT_TRUE(sata);
    EXPECT_FALSE(sata->IsNvme());
    version.fill(0xFF);
    EXPECT_FALSE(sata->GetVersion(version));  // not an SG device
    EXPECT_EQ(version[4], 0);
    EXPECT_FALSE(sata->SendCommand({0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0}, &errorCode));
    EXPECT_EQ(errorCode, ENOTTY);  // the SG_IO ioctl was tried and refused
    std::array<std::uint8_t, 512> nvmeLog{};
    EXPECT_FALSE(sata->NvmeGetLogPage(0x02, nvmeLog));

    EXPECT_FALSE(drives.OpenDrive(6));
    EXPECT_FALSE(drives.OpenDrive(255));
}

TEST(LinuxDriveSystem, RefusesEveryOtherAtaCommandBeforeTheKernel) {
    testsupport::CTempDir dir;
    drivetest::BuildMachine(dir);
    dir.Write("dev/nvme2", "");
    dir.Write("dev/sdb", "");
    platform::CLinuxDriveSystem drives((dir.Path() / "sys").string(),
                                       (dir.Path() / "dev").string());
    auto sata = drives.OpenDrive(2);
    ASSERT_TRUE(sata);
    int errorCode = 0;
    EXPECT_FALSE(sata->SendCommand({0xD9, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0}, &errorCode));
    EXPECT_EQ(errorCode, EPERM);  // SMART DISABLE OPERATIONS never leaves the process
    EXPECT_FALSE(sata->SendCommand({0, 0, 0, 0, 0, 0xA0, 0xF4}, &errorCode));
    EXPECT_EQ(errorCode, EPERM);
    std::array<std::uint8_t, 512> sector{};
    EXPECT_FALSE(sata->ReceiveData({0xD5, 1, 0x06, 0x4F, 0xC2, 0xA0, 0xB0}, sector));
}

TEST(LinuxDriveSystem, OpensTheNodeReadOnly) {
    testsupport::CTempDir dir;
    drivetest::BuildMachine(dir);
    // A folder opens for reading only (even for root): opening it for writing fails with
    // EISDIR, so a drive that opens here was opened read-only.
    std::filesystem::create_directories(dir.Path() / "dev" / "nvme2");
    platform::CLinuxDriveSystem drives((dir.Path() / "sys").string(),
                                       (dir.Path() / "dev").string());
    auto nvme = drives.OpenDrive(0);
    ASSERT_TRUE(nvme);
    std::array<std::uint8_t, 512> log{};
    EXPECT_FALSE(nvme->NvmeGetLogPage(0x02, log));  // the ioctl fails on a folder
}

}  // namespace
