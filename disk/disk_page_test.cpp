#include "disk/disk_page.h"

#include <gtest/gtest.h>

#include <string>

#include "disk/hd_smart.h"
#include "platform/fake/fake_drive_system.h"
#include "tests/support/test_sectors.h"

namespace {

// The labels and units in GBK, spelled out byte by byte.
const std::string kModel = "\xD3\xB2\xC5\xCC\xB2\xFA\xC6\xB7\xC3\xFB  \xA3\xBA";  // 硬盘产品名
const std::string kSerial = "\xD3\xB2\xC5\xCC\xD0\xF2\xC1\xD0\xBA\xC5  \xA3\xBA";  // 硬盘序列号
const std::string kFirmware = "\xD3\xB2\xC5\xCC\xB9\xCC\xBC\xFE    \xA3\xBA";      // 硬盘固件
const std::string kCycles = "\xD3\xB2\xC5\xCC\xCA\xB9\xD3\xC3\xB4\xCE\xCA\xFD\xA3\xBA";  // 使用次数
const std::string kHours = "\xD3\xB2\xC5\xCC\xCA\xB9\xD3\xC3\xCA\xB1\xBC\xE4\xA3\xBA";  // 使用时间
const std::string kTemperature = "\xD3\xB2\xC5\xCC\xCE\xC2\xB6\xC8    \xA3\xBA";  // 硬盘温度
const std::string kTimes = " \xB4\xCE";                                           // 次
const std::string kHoursUnit = " \xD0\xA1\xCA\xB1";                               // 小时
const std::string kCelsius = " \xC9\xE3\xCA\xCF\xB6\xC8";                         // 摄氏度
// The wear lines.
const std::string kReallocated = "\xD6\xD8\xD3\xB3\xC9\xE4\xC9\xC8\xC7\xF8\xCA\xFD\xA3\xBA";
const std::string kPending = "\xB4\xFD\xD3\xB3\xC9\xE4\xC9\xC8\xC7\xF8\xCA\xFD\xA3\xBA";
const std::string kUncorrectable = "\xB2\xBB\xBF\xC9\xD0\xDE\xB8\xB4\xC9\xC8\xC7\xF8\xA3\xBA";
const std::string kLifeUsed = "\xD2\xD1\xD3\xC3\xCA\xD9\xC3\xFC    \xA3\xBA";  // 已用寿命
const std::string kSpare = "\xBF\xC9\xD3\xC3\xB1\xB8\xD3\xC3\xBF\xD5\xBC\xE4\xA3\xBA";
const std::string kMediaErrors = "\xBD\xE9\xD6\xCA\xB4\xED\xCE\xF3\xCA\xFD  \xA3\xBA";
const std::string kPieces = " \xB8\xF6";  // 个
// The capacity line, last for every kind of drive whose identity was read.
const std::string kCapacity = "\xD3\xB2\xC5\xCC\xC8\xDD\xC1\xBF    \xA3\xBA";  // 硬盘容量
const std::string kGb = " GB";

// The six lines of a drive whose texts are all empty.
const std::string kEmptySixLines = kModel + "\r\n" + kSerial + "\r\n" + kFirmware + "\r\n" +
                                   kCycles + kTimes + "\r\n" + kHours + kHoursUnit + "\r\n" +
                                   kTemperature + kCelsius;

TEST(DiskPage, EmptyTextsLeaveLabelsAndUnits) {
    platform::CFakeDriveSystem noDrive;
    const CHdSmart smart(noDrive);
    EXPECT_EQ(disk::BuildDiskPage(smart), kEmptySixLines);
    for (const std::string& label :
         {kModel, kSerial, kFirmware, kCycles, kHours, kTemperature, kReallocated, kPending,
          kUncorrectable, kLifeUsed, kSpare, kMediaErrors}) {
        EXPECT_EQ(label.size(), 14u);
    }
}

TEST(DiskPage, WearLinesFollowForTheKindOfDriveRead) {
    platform::CFakeDriveSystem noDrive;
    CHdSmart smart(noDrive);
    smart.m_strReallocatedSectors = "43";
    smart.m_strPendingSectors = "4294967297";
    smart.m_strUncorrectableSectors = "0";
    smart.m_strPercentageUsed = "3";
    smart.m_strAvailableSpare = "100";
    smart.m_strMediaErrors = "340282366920938463463374607431768211455";
    smart.m_strCapacity = "500.1";

    // No identity read: the six lines only, whatever wear texts there are.
    EXPECT_EQ(disk::BuildDiskPage(smart), kEmptySixLines);

    smart.m_identityKind = DriveKind::kAta;
    EXPECT_EQ(disk::BuildDiskPage(smart), kEmptySixLines + "\r\n" + kReallocated + "43" + kPieces +
                                              "\r\n" + kPending + "4294967297" + kPieces + "\r\n" +
                                              kUncorrectable + "0" + kPieces + "\r\n" + kCapacity +
                                              "500.1" + kGb);

    smart.m_identityKind = DriveKind::kNvme;
    EXPECT_EQ(disk::BuildDiskPage(smart), kEmptySixLines + "\r\n" + kLifeUsed + "3%\r\n" + kSpare +
                                              "100%\r\n" + kMediaErrors +
                                              "340282366920938463463374607431768211455" + kTimes +
                                              "\r\n" + kCapacity + "500.1" + kGb);
}

TEST(DiskPage, UnreadWearKeepsItsSuffix) {
    platform::CFakeDriveSystem noDrive;
    CHdSmart smart(noDrive);
    smart.m_identityKind = DriveKind::kAta;
    EXPECT_EQ(disk::BuildDiskPage(smart), kEmptySixLines + "\r\n" + kReallocated + kPieces +
                                              "\r\n" + kPending + kPieces + "\r\n" +
                                              kUncorrectable + kPieces + "\r\n" + kCapacity + kGb);
    smart.m_identityKind = DriveKind::kNvme;
    EXPECT_EQ(disk::BuildDiskPage(smart), kEmptySixLines + "\r\n" + kLifeUsed + "%\r\n" + kSpare +
                                              "%\r\n" + kMediaErrors + kTimes + "\r\n" + kCapacity +
                                              kGb);
}

TEST(DiskPage, ReadDrivesShowTheirWear) {
    // An NVMe drive whose log could not be read: identity, then the NVMe lines, empty.
    platform::FakeDrive nvme;
    nvme.bNvme = true;
    nvme.bVersionOk = false;
    nvme.nvmeIdentify = disktest::NvmeIdentifySector("M", "S", "F");
    platform::CFakeDriveSystem drives({nvme});
    const std::string page = disk::BuildDiskPage(CHdSmart(drives));
    EXPECT_EQ(page, kModel + "M\r\n" + kSerial + "S\r\n" + kFirmware + "F\r\n" + kCycles + kTimes +
                        "\r\n" + kHours + kHoursUnit + "\r\n" + kTemperature + kCelsius + "\r\n" +
                        kLifeUsed + "%\r\n" + kSpare + "%\r\n" + kMediaErrors + kTimes + "\r\n" +
                        kCapacity + kGb);

    // An ATA drive with attribute 5 only: its line has the count, the others their suffix.
    platform::FakeDrive ata;
    ata.identify = disktest::IdentifySector("A", "B", "C");
    ata.smartData = disktest::SmartSector();
    disktest::PutAttribute(*ata.smartData, 0, 5, {0x01, 0x00, 0x09, 0x00, 0x00, 0x00});
    platform::CFakeDriveSystem ataDrives({ata});
    const std::string ataPage = disk::BuildDiskPage(CHdSmart(ataDrives));
    EXPECT_EQ(ataPage.substr(ataPage.find(kReallocated)),
              kReallocated + "1" + kPieces + "\r\n" + kPending + kPieces + "\r\n" + kUncorrectable +
                  kPieces + "\r\n" + kCapacity + "0.0" + kGb);
}

TEST(DiskPage, ValuesFollowTheColonDirectly) {
    platform::CFakeDriveSystem noDrive;
    CHdSmart smart(noDrive);
    smart.m_strModel = "ST9160821AS";
    smart.m_strSerial = "5MAC2QTA";
    smart.m_strFirmware = "3.CLH";
    smart.m_strPowerCycles = "465";
    smart.m_strPowerOnHours = "556";
    smart.m_strTemperature = "35";
    const std::string expected = kModel + "ST9160821AS\r\n" + kSerial + "5MAC2QTA\r\n" + kFirmware +
                                 "3.CLH\r\n" + kCycles + "465" + kTimes + "\r\n" + kHours + "556" +
                                 kHoursUnit + "\r\n" + kTemperature + "35" + kCelsius;
    const std::string page = disk::BuildDiskPage(smart);
    EXPECT_EQ(page, expected);
    EXPECT_EQ(disk::BuildDiskPage(smart), page);  // built twice, the same bytes
}

}  // namespace
