#include "disk/hd_smart.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/fake_drive_system.h"
#include "tests/support/test_sectors.h"

namespace {

using platform::AtaRegisters;
using platform::CFakeDriveSystem;
using platform::FakeCall;
using platform::FakeCallKind;

// The registers each command must carry, byte for byte: features, count, LBA low/mid/high,
// device, command.
constexpr AtaRegisters kEnable{0xD8, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kIdentify{0x00, 0x01, 0x01, 0x00, 0x00, 0xA0, 0xEC};
constexpr AtaRegisters kReadData{0xD0, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0};

FakeCall Call(FakeCallKind kind, AtaRegisters regs = {}, std::uint8_t logId = 0) {
    return {0, kind, regs, logId};
}

platform::FakeDrive GoodAtaDrive() {
    platform::FakeDrive drive;
    drive.identify = disktest::IdentifySector("  SAMSUNG HD501LJ", "S0MUJ1NQ110060", "CR100-12");
    drive.smartData = disktest::SmartSector();
    disktest::PutAttribute(*drive.smartData, 0, 9, {0x9E, 0x1C, 0, 0, 0, 0});
    disktest::PutAttribute(*drive.smartData, 1, 12, {0x58, 0, 0, 0, 0, 0});
    disktest::PutAttribute(*drive.smartData, 2, 194, {0x2F, 0, 0x0F, 0, 0x36, 0});
    return drive;
}

void ExpectNoTexts(const CHdSmart& smart) {
    EXPECT_EQ(smart.m_strModel, "");
    EXPECT_EQ(smart.m_strSerial, "");
    EXPECT_EQ(smart.m_strFirmware, "");
    EXPECT_EQ(smart.m_strPowerOnHours, "");
    EXPECT_EQ(smart.m_strPowerCycles, "");
    EXPECT_EQ(smart.m_strTemperature, "");
    EXPECT_EQ(smart.m_strReallocatedSectors, "");
    EXPECT_EQ(smart.m_strPendingSectors, "");
    EXPECT_EQ(smart.m_strUncorrectableSectors, "");
    EXPECT_EQ(smart.m_strPercentageUsed, "");
    EXPECT_EQ(smart.m_strAvailableSpare, "");
    EXPECT_EQ(smart.m_strMediaErrors, "");
    EXPECT_EQ(smart.m_identityKind, DriveKind::kNone);
}

TEST(HdSmart, ReadsAnAtaDriveWithTheThreeCommands) {
    CFakeDriveSystem drives({GoodAtaDrive(), GoodAtaDrive()});
    const CHdSmart smart(drives);
    EXPECT_EQ(smart.m_strModel, "SAMSUNG HD501LJ");
    EXPECT_EQ(smart.m_strSerial, "S0MUJ1NQ110060");
    EXPECT_EQ(smart.m_strFirmware, "CR100-12");
    EXPECT_EQ(smart.m_strPowerOnHours, "7326");
    EXPECT_EQ(smart.m_strPowerCycles, "88");
    EXPECT_EQ(smart.m_strTemperature, "47");
    EXPECT_EQ(smart.m_drive[0].m_strError, "");

    // Drive 0 only, and exactly these commands in this order.
    EXPECT_EQ(drives.Calls().front(), Call(FakeCallKind::kOpen));
    EXPECT_EQ(drives.Commands(), (std::vector<FakeCall>{
                                     Call(FakeCallKind::kGetVersion),
                                     Call(FakeCallKind::kSendCommand, kEnable),
                                     Call(FakeCallKind::kReceiveData, kIdentify),
                                     Call(FakeCallKind::kReceiveData, kReadData),
                                 }));

    // The slot keeps the version record and the converted identify words.
    EXPECT_EQ(smart.m_drive[0].m_version[platform::kSmartVersionCapsOffset] & 0x04, 0x04);
    EXPECT_EQ(std::string(smart.m_drive[0].m_identify.begin() + 54,
                          smart.m_drive[0].m_identify.begin() + 69),
              "SAMSUNG HD501LJ");
    EXPECT_EQ(smart.m_drive[0].m_identify[69], 0);
}

TEST(HdSmart, AtaWearComesFromTheSameSector) {
    platform::FakeDrive worn = GoodAtaDrive();
    disktest::PutAttribute(*worn.smartData, 3, 5, {0x2B, 0x00, 0x2B, 0x00, 0x00, 0x00});
    disktest::PutAttribute(*worn.smartData, 4, 197, {0x02, 0x00, 0x00, 0x00, 0xCB, 0x6C});
    disktest::PutAttribute(*worn.smartData, 5, 198, {0x2E, 0x00, 0x00, 0x00, 0x00, 0x00});
    CFakeDriveSystem drives({worn});
    const CHdSmart smart(drives);
    EXPECT_EQ(smart.m_identityKind, DriveKind::kAta);
    EXPECT_EQ(smart.m_strReallocatedSectors, "43");           // not 2818091 with the vendor word
    EXPECT_EQ(smart.m_strPendingSectors, "119619134160898");  // 0x6CCB_0000_0002
    EXPECT_EQ(smart.m_strUncorrectableSectors, "46");
    EXPECT_EQ(smart.m_strPercentageUsed, "");  // the NVMe texts stay empty
    EXPECT_EQ(smart.m_strMediaErrors, "");
    // No command beyond the three of the identity and counters.
    EXPECT_EQ(drives.Commands(), (std::vector<FakeCall>{
                                     Call(FakeCallKind::kGetVersion),
                                     Call(FakeCallKind::kSendCommand, kEnable),
                                     Call(FakeCallKind::kReceiveData, kIdentify),
                                     Call(FakeCallKind::kReceiveData, kReadData),
                                 }));

    // A drive without the wear attributes: identity read, wear texts empty.
    CFakeDriveSystem fresh({GoodAtaDrive()});
    const CHdSmart freshSmart(fresh);
    EXPECT_EQ(freshSmart.m_identityKind, DriveKind::kAta);
    EXPECT_EQ(freshSmart.m_strReallocatedSectors, "");
    EXPECT_EQ(freshSmart.m_strPendingSectors, "");
    EXPECT_EQ(freshSmart.m_strUncorrectableSectors, "");

    // Without the identity, the wear is read all the same but no kind is known.
    CFakeDriveSystem anonymous({worn});
    anonymous.Drive(0).identify.reset();
    const CHdSmart noIdentity(anonymous);
    EXPECT_EQ(noIdentity.m_identityKind, DriveKind::kNone);
    EXPECT_EQ(noIdentity.m_strReallocatedSectors, "43");
}

TEST(HdSmart, NoCapabilityMeansNoCommand) {
    CFakeDriveSystem drives({GoodAtaDrive()});
    drives.Drive(0).bSmartCapable = false;
    CHdSmart smart(drives);
    ExpectNoTexts(smart);
    EXPECT_EQ(drives.Commands(), (std::vector<FakeCall>{Call(FakeCallKind::kGetVersion)}));
    EXPECT_TRUE(smart.ReadDrive(0));  // the version request itself worked

    CFakeDriveSystem failing({GoodAtaDrive()});
    failing.Drive(0).bVersionOk = false;
    CHdSmart notAnswering(failing);
    ExpectNoTexts(notAnswering);
    EXPECT_EQ(failing.Commands(), (std::vector<FakeCall>{Call(FakeCallKind::kGetVersion)}));
    EXPECT_FALSE(notAnswering.ReadDrive(0));
}

TEST(HdSmart, FailedEnableKeepsTheErrorAndSkipsTheReads) {
    CFakeDriveSystem drives({GoodAtaDrive()});
    drives.Drive(0).nEnableError = 5;
    CHdSmart smart(drives);
    ExpectNoTexts(smart);
    EXPECT_EQ(smart.m_drive[0].m_strError, "Error 5 in reading SMART Enabled flag");
    EXPECT_EQ(drives.Commands(), (std::vector<FakeCall>{
                                     Call(FakeCallKind::kGetVersion),
                                     Call(FakeCallKind::kSendCommand, kEnable),
                                 }));
    EXPECT_FALSE(smart.ReadDrive(0));  // a failed enable is a failed read
    EXPECT_EQ(smart.m_drive[1].m_strError, "");
}

TEST(HdSmart, IdentifyFailureStillReadsTheCounters) {
    CFakeDriveSystem drives({GoodAtaDrive()});
    drives.Drive(0).identify.reset();
    const CHdSmart smart(drives);
    EXPECT_EQ(smart.m_strModel, "");
    EXPECT_EQ(smart.m_strSerial, "");
    EXPECT_EQ(smart.m_strFirmware, "");
    EXPECT_EQ(smart.m_strPowerOnHours, "7326");
    EXPECT_EQ(smart.m_strTemperature, "47");
    EXPECT_EQ(drives.Commands().back(), Call(FakeCallKind::kReceiveData, kReadData));

    CFakeDriveSystem noData({GoodAtaDrive()});
    noData.Drive(0).smartData.reset();
    CHdSmart identityOnly(noData);
    EXPECT_EQ(identityOnly.m_strModel, "SAMSUNG HD501LJ");
    EXPECT_EQ(identityOnly.m_strPowerOnHours, "");
    EXPECT_EQ(identityOnly.m_strPowerCycles, "");
    EXPECT_EQ(identityOnly.m_strTemperature, "");
    EXPECT_FALSE(identityOnly.ReadDrive(0));  // the last read decides
}

TEST(HdSmart, ShortOrVanishingDrivesLeaveTextsEmpty) {
    CFakeDriveSystem shortData({GoodAtaDrive()});
    shortData.Drive(0).identify->resize(300);
    shortData.Drive(0).smartData->resize(511);
    ExpectNoTexts(CHdSmart(shortData));

    CFakeDriveSystem gone({GoodAtaDrive()});
    gone.Drive(0).bGone = true;
    ExpectNoTexts(CHdSmart(gone));

    CFakeDriveSystem closed({GoodAtaDrive()});
    closed.Drive(0).bOpens = false;
    CHdSmart unopened(closed);
    ExpectNoTexts(unopened);
    EXPECT_TRUE(closed.Commands().empty());
    EXPECT_FALSE(unopened.ReadDrive(0));

    CFakeDriveSystem none;
    ExpectNoTexts(CHdSmart(none));
}

TEST(HdSmart, DriveNumbersBeyondTheSlotsAreRefused) {
    CFakeDriveSystem drives;
    for (int i = 0; i < 40; ++i) drives.Drive(static_cast<std::size_t>(i)) = GoodAtaDrive();
    CHdSmart smart(drives);
    const std::size_t callsAfterStart = drives.Calls().size();
    EXPECT_TRUE(smart.ReadDrive(31));
    EXPECT_FALSE(smart.ReadDrive(32));
    EXPECT_FALSE(smart.ReadDrive(255));
    EXPECT_EQ(drives.Calls().size(), callsAfterStart + 5);  // drive 31 alone was opened
    EXPECT_EQ(drives.Calls()[callsAfterStart].drive, 31);
}

TEST(HdSmart, ReadsAnNvmeControllerWithoutAtaCommands) {
    platform::FakeDrive nvme;
    nvme.bNvme = true;
    nvme.bVersionOk = false;
    nvme.nvmeIdentify =
        disktest::NvmeIdentifySector("SHPP41-2000GM", "SJB9N47011210991J", "51060A20");
    nvme.nvmeHealthLog = disktest::NvmeHealthLog(330, 106, 28414);
    CFakeDriveSystem drives({nvme});
    CHdSmart smart(drives);
    EXPECT_EQ(smart.m_strModel, "SHPP41-2000GM");
    EXPECT_EQ(smart.m_strSerial, "SJB9N47011210991J");
    EXPECT_EQ(smart.m_strFirmware, "51060A20");
    EXPECT_EQ(smart.m_strTemperature, "57");
    EXPECT_EQ(smart.m_strPowerCycles, "106");
    EXPECT_EQ(smart.m_strPowerOnHours, "28414");
    EXPECT_EQ(drives.Commands(), (std::vector<FakeCall>{
                                     Call(FakeCallKind::kGetVersion),
                                     Call(FakeCallKind::kNvmeIdentify),
                                     Call(FakeCallKind::kNvmeGetLogPage, {}, 0x02),
                                 }));
    EXPECT_EQ(smart.m_identityKind, DriveKind::kNvme);
    EXPECT_EQ(smart.m_strAvailableSpare, "100");
    EXPECT_EQ(smart.m_strPercentageUsed, "0");
    EXPECT_EQ(smart.m_strMediaErrors, "0");
    EXPECT_EQ(smart.m_strReallocatedSectors, "");  // the ATA texts stay empty
    EXPECT_TRUE(smart.ReadDrive(0));

    // Identify failure does not stop the log; below freezing the temperature is negative.
    drives.Drive(0).nvmeIdentify.reset();
    drives.Drive(0).nvmeHealthLog = disktest::NvmeHealthLog(263, 1ull << 40, 0);
    CHdSmart second(drives);
    EXPECT_EQ(second.m_strModel, "");
    EXPECT_EQ(second.m_strTemperature, "-10");
    EXPECT_EQ(second.m_strPowerCycles, "1099511627776");
    EXPECT_EQ(second.m_strPowerOnHours, "0");
    EXPECT_EQ(second.m_identityKind, DriveKind::kNone);

    // A worn drive: life used past 100 %, spare low, a 128-bit error count (2^100 + 7).
    drives.Drive(0).nvmeIdentify = disktest::NvmeIdentifySector("M", "S", "F");
    auto& log = *drives.Drive(0).nvmeHealthLog;
    log[0] = 0x04;  // reliability degraded
    log[3] = 4;
    log[4] = 5;
    log[5] = 112;
    disktest::PutLe(log, 160, 16, 7);
    log[172] = 0x10;
    CHdSmart worn(drives);
    EXPECT_EQ(worn.m_identityKind, DriveKind::kNvme);
    EXPECT_EQ(worn.m_strAvailableSpare, "4");
    EXPECT_EQ(worn.m_strSpareThreshold, "5");
    EXPECT_EQ(worn.m_strCriticalWarning, "4");
    EXPECT_EQ(worn.m_strPercentageUsed, "112");
    EXPECT_EQ(worn.m_strMediaErrors, "1267650600228229401496703205383");

    drives.Drive(0).nvmeIdentify.reset();
    drives.Drive(0).nvmeHealthLog.reset();
    CHdSmart nothing(drives);
    ExpectNoTexts(nothing);
    EXPECT_FALSE(nothing.ReadDrive(0));
}

}  // namespace
