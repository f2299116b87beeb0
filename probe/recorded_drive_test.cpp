#include "probe/recorded_drive.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/fake/fake_drive_system.h"

namespace {

using platform::AtaRegisters;
using platform::CFakeDriveSystem;
using platform::CRecordingDriveSystem;
using platform::CReplayDriveSystem;
using platform::DriveCallKind;

constexpr AtaRegisters kEnable{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kIdentify{0x00, 1, 1, 0x00, 0x00, 0xA0, 0xEC};

platform::FakeDrive AtaDrive() {
    platform::FakeDrive drive;
    drive.identify = std::vector<std::uint8_t>(512, 0x11);
    drive.smartData = std::vector<std::uint8_t>(512, 0x22);
    drive.nEnableError = 0;
    return drive;
}

TEST(RecordedDrive, RecordingPassesEachCallThroughAndKeepsItsOutcome) {
    CFakeDriveSystem fake({AtaDrive()});
    fake.Drive(0).nEnableError = 61;
    CRecordingDriveSystem recorder(fake);
    EXPECT_FALSE(recorder.OpenDrive(4));
    auto drive = recorder.OpenDrive(0);
    ASSERT_TRUE(drive);
    int errorCode = 0;
    EXPECT_FALSE(drive->SendCommand(kEnable, &errorCode));
    EXPECT_EQ(errorCode, 61);  // the inner drive's answer reaches the caller
    std::array<std::uint8_t, 512> sector{};
    EXPECT_TRUE(drive->ReceiveData(kIdentify, sector));
    EXPECT_EQ(sector[0], 0x11);
    std::array<std::uint8_t, 512> log{};
    log.fill(0x99);
    EXPECT_FALSE(drive->NvmeGetLogPage(0x02, log));

    const auto& records = recorder.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].number, 4);
    EXPECT_FALSE(records[0].bOpened);
    EXPECT_TRUE(records[1].bOpened);
    EXPECT_FALSE(records[1].bNvme);
    ASSERT_EQ(records[1].calls.size(), 3u);
    EXPECT_EQ(records[1].calls[0].kind, DriveCallKind::kSendCommand);
    EXPECT_EQ(records[1].calls[0].regs, kEnable);
    EXPECT_FALSE(records[1].calls[0].bOk);
    EXPECT_EQ(records[1].calls[0].nErrorCode, 61);
    EXPECT_TRUE(records[1].calls[0].data.empty());
    EXPECT_TRUE(records[1].calls[1].bOk);
    EXPECT_EQ(records[1].calls[1].data, std::vector<std::uint8_t>(512, 0x11));
    EXPECT_EQ(records[1].calls[2].logId, 0x02);
    EXPECT_EQ(records[1].calls[2].data, std::vector<std::uint8_t>(512, 0));  // as it left it
}

TEST(RecordedDrive, ReplayAnswersTheRecordedCallsAndNothingElse) {
    CFakeDriveSystem fake({AtaDrive()});
    CRecordingDriveSystem recorder(fake);
    {
        auto drive = recorder.OpenDrive(0);
        std::array<std::uint8_t, 24> version{};
        ASSERT_TRUE(drive->GetVersion(version));
        std::array<std::uint8_t, 512> sector{};
        ASSERT_TRUE(drive->ReceiveData(kIdentify, sector));
        fake.Drive(0).identify = std::vector<std::uint8_t>(512, 0x33);
        ASSERT_TRUE(drive->ReceiveData(kIdentify, sector));
    }
    CReplayDriveSystem replay(recorder.Records());
    EXPECT_FALSE(replay.OpenDrive(1));
    auto drive = replay.OpenDrive(0);
    ASSERT_TRUE(drive);
    EXPECT_FALSE(replay.OpenDrive(0));  // one open was recorded, one is answered

    std::array<std::uint8_t, 24> version{};
    EXPECT_TRUE(drive->GetVersion(version));
    EXPECT_EQ(version[platform::kSmartVersionCapsOffset],
              platform::kCapAtaIdCmd | platform::kCapSmartCmd);
    // The same call twice gets the two answers in their order, then fails with zeros.
    std::array<std::uint8_t, 512> sector{};
    EXPECT_TRUE(drive->ReceiveData(kIdentify, sector));
    EXPECT_EQ(sector[0], 0x11);
    EXPECT_TRUE(drive->ReceiveData(kIdentify, sector));
    EXPECT_EQ(sector[0], 0x33);
    EXPECT_FALSE(drive->ReceiveData(kIdentify, sector));
    EXPECT_EQ(sector[0], 0);
    // Other registers are another call: not recorded, so it fails.
    AtaRegisters other = kIdentify;
    other.lbaLow = 2;
    sector.fill(0x55);
    EXPECT_FALSE(drive->ReceiveData(other, sector));
    EXPECT_EQ(sector[511], 0);
    int errorCode = 0;
    EXPECT_FALSE(drive->SendCommand(kEnable, &errorCode));
    EXPECT_EQ(errorCode, CReplayDriveSystem::kNotRecordedError);
    std::array<std::uint8_t, 4096> identify{};
    EXPECT_FALSE(drive->NvmeIdentifyController(identify));
}

TEST(RecordedDrive, ReplayKeepsTheKindAndRefusesMisfitBytes) {
    platform::DriveRecord nvme;
    nvme.bOpened = true;
    nvme.bNvme = true;
    platform::DriveCall log;
    log.kind = DriveCallKind::kNvmeGetLogPage;
    log.logId = 0x02;
    log.bOk = true;
    log.data.assign(100, 7);  // not a whole page
    nvme.calls.push_back(log);
    platform::DriveRecord closed;
    closed.number = 1;
    CReplayDriveSystem replay({nvme, closed});
    EXPECT_FALSE(replay.OpenDrive(1));
    auto drive = replay.OpenDrive(0);
    ASSERT_TRUE(drive);
    EXPECT_TRUE(drive->IsNvme());
    std::array<std::uint8_t, 512> page{};
    EXPECT_FALSE(drive->NvmeGetLogPage(0x02, page));
    EXPECT_EQ(page[0], 0);
}

}  // namespace
