#include "platform/windows/smart_ioctl.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/windows/windows_drive_recording.h"

namespace platform {
namespace {

using drive_testing::SendCmdOutReply;

constexpr AtaRegisters kEnable{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kIdentify{0x00, 1, 1, 0x00, 0x00, 0xA0, 0xEC};
constexpr AtaRegisters kReadData{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};

std::vector<std::uint8_t> Sector(std::uint8_t seed) {
    std::vector<std::uint8_t> sector(512);
    for (std::size_t i = 0; i < sector.size(); ++i) sector[i] = static_cast<std::uint8_t>(seed + i);
    return sector;
}

TEST(SmartIoctl, SendCmdInParamsCarryTheRegistersTheDriveNumberAndTheBufferSize) {
    // cBufferSize 512 little-endian, IDEREGS in register order, bDriveNumber 3, zeros after.
    const std::array<std::uint8_t, 33> readData = {
        0x00, 0x02, 0x00, 0x00, 0xD0, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0, 0x00, 0x03, 0, 0, 0, 0,
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0};
    EXPECT_EQ(BuildSendCmdInParams(kReadData, 3, 512), readData);

    const std::array<std::uint8_t, 33> enable = {
        0x00, 0x00, 0x00, 0x00, 0xD8, 0x01, 0x01, 0x4F, 0xC2, 0xA0, 0xB0, 0x00, 0x00, 0, 0, 0, 0,
        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0};
    EXPECT_EQ(BuildSendCmdInParams(kEnable, 0, 0), enable);

    const auto identify = BuildSendCmdInParams(kIdentify, 31, 0x01020304);
    EXPECT_EQ(identify[0], 0x04);
    EXPECT_EQ(identify[3], 0x01);
    EXPECT_EQ(identify[10], 0xEC);
    EXPECT_EQ(identify[12], 31);
}

TEST(SmartIoctl, OnlyEnableIdentifyAndReadDataAreLetThrough) {
    EXPECT_TRUE(IsPermittedSmartCommand(kEnable, SmartTransfer::kNonData));
    EXPECT_TRUE(IsPermittedSmartCommand(kIdentify, SmartTransfer::kDataIn));
    EXPECT_TRUE(IsPermittedSmartCommand(kReadData, SmartTransfer::kDataIn));

    // The right command with the wrong transfer.
    EXPECT_FALSE(IsPermittedSmartCommand(kEnable, SmartTransfer::kDataIn));
    EXPECT_FALSE(IsPermittedSmartCommand(kReadData, SmartTransfer::kNonData));
    EXPECT_FALSE(IsPermittedSmartCommand(kIdentify, SmartTransfer::kNonData));

    AtaRegisters disable = kEnable;
    disable.features = 0xD9;  // SMART DISABLE OPERATIONS
    AtaRegisters selfTest = kEnable;
    selfTest.features = 0xD4;  // SMART EXECUTE OFF-LINE IMMEDIATE
    AtaRegisters writeLog = kReadData;
    writeLog.features = 0xD6;  // SMART WRITE LOG
    AtaRegisters noSignature = kReadData;
    noSignature.lbaHigh = 0x00;  // the SMART signature C24Fh is part of the command
    AtaRegisters writeSectors = kIdentify;
    writeSectors.command = 0x30;
    for (const AtaRegisters& regs : {disable, selfTest, writeLog, noSignature, writeSectors}) {
        EXPECT_FALSE(IsPermittedSmartCommand(regs, SmartTransfer::kNonData));
        EXPECT_FALSE(IsPermittedSmartCommand(regs, SmartTransfer::kDataIn));
    }
}

TEST(SmartIoctl, DataRepliesGetTheDocumentedBuffers) {
    EXPECT_EQ(SmartDataReplyBytes(kIdentify), 528u);
    EXPECT_EQ(SmartDataReplyBytes(kReadData), 531u);
}

TEST(SmartIoctl, VersionReplyIsCopiedOnlyWhenWhole) {
    std::vector<std::uint8_t> reply = drive_testing::VersionReply(0x07);
    reply[23] = 0x5A;
    std::array<std::uint8_t, kSmartVersionBytes> version{};
    ASSERT_TRUE(ReadSmartVersionReply(reply, version));
    EXPECT_TRUE(std::equal(reply.begin(), reply.end(), version.begin()));

    version.fill(0xEE);
    EXPECT_FALSE(ReadSmartVersionReply(std::span(reply).first(23), version));
    EXPECT_EQ(version, (std::array<std::uint8_t, kSmartVersionBytes>{}));
    EXPECT_FALSE(ReadSmartVersionReply({}, version));
}

TEST(SmartIoctl, NonDataReplyNeedsItsHeadAndNoError) {
    EXPECT_TRUE(JudgeSmartNonDataReply(SendCmdOutReply({}, 0)));
    const auto withPad = SendCmdOutReply(std::vector<std::uint8_t>{0}, 0);  // 17 bytes
    EXPECT_TRUE(JudgeSmartNonDataReply(withPad));

    EXPECT_FALSE(JudgeSmartNonDataReply(std::span(withPad).first(15)));
    EXPECT_FALSE(ReadSmartDriverStatus(std::span(withPad).first(15)));
    EXPECT_FALSE(JudgeSmartNonDataReply({}));
    EXPECT_FALSE(JudgeSmartNonDataReply(SendCmdOutReply({}, 0, 1)));        // SMART_IDE_ERROR
    EXPECT_FALSE(JudgeSmartNonDataReply(SendCmdOutReply({}, 0, 0, 0x04)));  // ABRT

    const auto status = ReadSmartDriverStatus(SendCmdOutReply({}, 0, 1, 0x04));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->driverError, 1);
    EXPECT_EQ(status->ideError, 0x04);
}

TEST(SmartIoctl, SectorComesFromAWholeCleanReply) {
    const auto sector = Sector(7);
    auto reply = SendCmdOutReply(sector, 512);
    reply.resize(531, 0xFF);  // the three extra bytes of the READ DATA buffer are ignored
    const auto data = SmartSectorFromReply(reply);
    ASSERT_TRUE(data);
    EXPECT_TRUE(std::equal(data->begin(), data->end(), sector.begin(), sector.end()));
    EXPECT_EQ(data->data(), reply.data() + 16);
}

TEST(SmartIoctl, SectorNeedsAWholeCleanReplyOfAtLeastOneSector) {
    // cBufferSize is the transfer length the driver set up: the in-box AHCI miniport gives
    // the request's own, 513 for the disk class driver's READ DATA.
    struct Case {
        std::uint32_t bufferSize;
        std::size_t returned;  // bytes the system says came back
        std::uint8_t driverError;
        std::uint8_t ideError;
        bool bAccepted;
    };
    const Case cases[] = {
        {0, 528, 0, 0, false},    // the driver says none came
        {511, 528, 0, 0, false},  // ... or part of one
        {512, 528, 0, 0, true},   // one sector
        {513, 528, 0, 0, true},   // the in-box AHCI miniport, READ DATA
        {513, 531, 0, 0, true},   // ... with the three spare bytes returned
        {528, 528, 0, 0, true},   // a driver counting the head as well
        {1024, 528, 0, 0, true},  // two sectors set up, one asked for
        {512, 527, 0, 0, false},  // one data byte short
        {513, 527, 0, 0, false},  // ... whatever cBufferSize says
        {512, 16, 0, 0, false},   // the head alone
        {512, 3, 0, 0, false},    // not even the head
        {512, 528, 1, 0, false},  // SMART_IDE_ERROR
        {513, 528, 0, 4, false},  // the drive aborted it
    };
    const auto sector = Sector(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bufferSize << " " << c.returned);
        auto reply = SendCmdOutReply(sector, c.bufferSize, c.driverError, c.ideError);
        reply.resize(c.returned, 0xFF);
        const auto data = SmartSectorFromReply(reply);
        ASSERT_EQ(data.has_value(), c.bAccepted);
        if (data) {
            EXPECT_EQ(data->data(), reply.data() + 16);
            EXPECT_TRUE(std::equal(data->begin(), data->end(), sector.begin(), sector.end()));
        }
    }
}

}  // namespace
}  // namespace platform
