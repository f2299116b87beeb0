#include "platform/linux/sg_io_ata.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

namespace {

using platform::AtaProtocol;
using platform::AtaRegisters;

constexpr AtaRegisters kEnable{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kIdentify{0x00, 1, 1, 0x00, 0x00, 0xA0, 0xEC};
constexpr AtaRegisters kReadData{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};

TEST(AtaPassThrough16, CdbCarriesEachRegisterInItsByte) {
    EXPECT_EQ(platform::BuildAtaPassThrough16(kEnable, AtaProtocol::kNonData),
              (platform::AtaPassThroughCdb{0x85, 0x06, 0x20, 0x00, 0xD8, 0x00, 0x01, 0x00, 0x01,
                                           0x00, 0x4F, 0x00, 0xC2, 0xA0, 0xB0, 0x00}));
    EXPECT_EQ(platform::BuildAtaPassThrough16(kIdentify, AtaProtocol::kPioDataIn),
              (platform::AtaPassThroughCdb{0x85, 0x08, 0x0E, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
                                           0x00, 0x00, 0x00, 0x00, 0xA0, 0xEC, 0x00}));
    EXPECT_EQ(platform::BuildAtaPassThrough16(kReadData, AtaProtocol::kPioDataIn),
              (platform::AtaPassThroughCdb{0x85, 0x08, 0x0E, 0x00, 0xD0, 0x00, 0x01, 0x00, 0x01,
                                           0x00, 0x4F, 0x00, 0xC2, 0xA0, 0xB0, 0x00}));
    // Distinct values in every register land in distinct bytes.
    const AtaRegisters all{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};
    EXPECT_EQ(platform::BuildAtaPassThrough16(all, AtaProtocol::kNonData),
              (platform::AtaPassThroughCdb{0x85, 0x06, 0x20, 0x00, 0x11, 0x00, 0x22, 0x00, 0x33,
                                           0x00, 0x44, 0x00, 0x55, 0x66, 0x77, 0x00}));
}

TEST(AtaPassThrough16, OnlyTheReadersCommandsPass) {
    EXPECT_TRUE(platform::IsPermittedAtaCommand(kEnable, AtaProtocol::kNonData));
    EXPECT_TRUE(platform::IsPermittedAtaCommand(kIdentify, AtaProtocol::kPioDataIn));
    EXPECT_TRUE(platform::IsPermittedAtaCommand(kReadData, AtaProtocol::kPioDataIn));
    // Right command, wrong transfer.
    EXPECT_FALSE(platform::IsPermittedAtaCommand(kEnable, AtaProtocol::kPioDataIn));
    EXPECT_FALSE(platform::IsPermittedAtaCommand(kIdentify, AtaProtocol::kNonData));
    // SMART DISABLE, SMART WRITE LOG, SMART without its signature, WRITE SECTORS,
    // SECURITY ERASE UNIT, DOWNLOAD MICROCODE.
    EXPECT_FALSE(platform::IsPermittedAtaCommand({0xD9, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0},
                                                 AtaProtocol::kNonData));
    EXPECT_FALSE(platform::IsPermittedAtaCommand({0xD6, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0},
                                                 AtaProtocol::kPioDataIn));
    EXPECT_FALSE(platform::IsPermittedAtaCommand({0xD8, 1, 1, 0x00, 0x00, 0xA0, 0xB0},
                                                 AtaProtocol::kNonData));
    EXPECT_FALSE(
        platform::IsPermittedAtaCommand({0, 1, 0, 0, 0, 0xE0, 0x30}, AtaProtocol::kPioDataIn));
    EXPECT_FALSE(
        platform::IsPermittedAtaCommand({0, 0, 0, 0, 0, 0xA0, 0xF4}, AtaProtocol::kNonData));
    EXPECT_FALSE(
        platform::IsPermittedAtaCommand({0x07, 1, 0, 0, 0, 0xA0, 0x92}, AtaProtocol::kNonData));
}

TEST(AtaPassThrough16, VersionRecordCarriesTheCapability) {
    std::array<std::uint8_t, 24> record{};
    record.fill(0xEE);
    platform::FillSmartVersion(true, record);
    EXPECT_EQ(record[4], 0x05);  // CAP_ATA_ID_CMD | CAP_SMART_CMD
    EXPECT_EQ(record[5] | record[6] | record[7], 0);
    EXPECT_EQ(record[23], 0);
    platform::FillSmartVersion(false, record);
    EXPECT_EQ(record[4], 0x00);
    EXPECT_EQ(record[0], 1);
}

// The sense libata writes for a command sent with CK_COND that went well: descriptor
// format, RECOVERED ERROR, 00/1Dh, then the ATA Status Return descriptor with STATUS 50h.
std::vector<std::uint8_t> LibataSense(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq,
                                      std::uint8_t error, std::uint8_t status) {
    return {0x72,  key,  asc,  ascq, 0,    0,    0,    0x0E, 0x09, 0x0C, 0x00,
            error, 0x00, 0x01, 0x00, 0x01, 0x00, 0x4F, 0x00, 0xC2, 0xA0, status};
}

platform::SgIoReply CheckCondition(const std::vector<std::uint8_t>& sense) {
    platform::SgIoReply reply;
    reply.scsiStatus = 0x02;
    reply.driverStatus = 0x08;  // DRIVER_SENSE
    reply.sense = sense;
    return reply;
}

TEST(JudgeAtaReply, RecoveredErrorWithGoodStatusIsSuccess) {
    const auto sense = LibataSense(0x01, 0x00, 0x1D, 0x00, 0x50);
    const auto outcome = platform::JudgeAtaReply(CheckCondition(sense));
    EXPECT_TRUE(outcome.bOk);
    EXPECT_EQ(outcome.nErrorCode, 0);

    const auto decoded = platform::DecodeAtaSense(sense);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->senseKey, 0x01);
    EXPECT_EQ(decoded->ataStatus, 0x50);
    EXPECT_EQ(decoded->ataError, 0x00);

    // Plain GOOD without sense (a data-in command) is success too.
    EXPECT_TRUE(platform::JudgeAtaReply({}).bOk);
}

TEST(JudgeAtaReply, DriveErrorsAreFailures) {
    // ABORTED COMMAND with ERR set and ABRT in the error register.
    const auto aborted = LibataSense(0x0B, 0x00, 0x00, 0x04, 0x51);
    auto outcome = platform::JudgeAtaReply(CheckCondition(aborted));
    EXPECT_FALSE(outcome.bOk);
    EXPECT_EQ(outcome.nErrorCode, EIO);
    // Even under RECOVERED ERROR, a STATUS with ERR, DF or BSY is a failure.
    for (std::uint8_t status : {0x51, 0x70, 0xD0}) {
        const auto sense = LibataSense(0x01, 0x00, 0x1D, 0x00, status);
        EXPECT_FALSE(platform::JudgeAtaReply(CheckCondition(sense)).bOk) << int{status};
    }
    // GOOD, but the registers came back with ERR.
    const auto errSense = LibataSense(0x00, 0x00, 0x1D, 0x04, 0x51);
    platform::SgIoReply good;
    good.sense = errSense;
    EXPECT_FALSE(platform::JudgeAtaReply(good).bOk);
    // CHECK CONDITION without any usable sense: ILLEGAL REQUEST from a non-ATA disk.
    const std::vector<std::uint8_t> illegal = {0x70, 0, 0x05, 0, 0, 0,    0,
                                               0x0A, 0, 0,    0, 0, 0x20, 0x00};
    EXPECT_FALSE(platform::JudgeAtaReply(CheckCondition(illegal)).bOk);
    EXPECT_FALSE(platform::JudgeAtaReply(CheckCondition({})).bOk);
}

TEST(JudgeAtaReply, TransportFailuresAndShortData) {
    platform::SgIoReply reply;
    reply.ioctlErrno = ENODEV;
    auto outcome = platform::JudgeAtaReply(reply);
    EXPECT_FALSE(outcome.bOk);
    EXPECT_EQ(outcome.nErrorCode, ENODEV);

    reply = {};
    reply.hostStatus = 0x03;  // DID_TIME_OUT
    EXPECT_FALSE(platform::JudgeAtaReply(reply).bOk);
    reply = {};
    reply.driverStatus = 0x06;  // DRIVER_TIMEOUT
    EXPECT_FALSE(platform::JudgeAtaReply(reply).bOk);
    reply = {};
    reply.scsiStatus = 0x08;  // BUSY
    EXPECT_FALSE(platform::JudgeAtaReply(reply).bOk);
    reply = {};
    reply.resid = 212;  // only 300 of 512 bytes came
    EXPECT_FALSE(platform::JudgeAtaReply(reply).bOk);
}

TEST(DecodeAtaSense, FixedFormatAndBounds) {
    // SAT fixed format: ERROR and STATUS in the first INFORMATION bytes with 00/1Dh.
    const std::vector<std::uint8_t> fixed = {0x70, 0, 0x01, 0x00, 0x50, 0xA0, 0x01,
                                             0x0A, 0, 0,    0,    0,    0x00, 0x1D};
    auto decoded = platform::DecodeAtaSense(fixed);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->ataStatus, 0x50);
    EXPECT_TRUE(platform::JudgeAtaReply(CheckCondition(fixed)).bOk);
    EXPECT_FALSE(platform::DecodeAtaSense(std::span(fixed).first(13)));

    // The status descriptor after another descriptor is still found.
    std::vector<std::uint8_t> two = {0x72, 0x01, 0x00, 0x1D, 0,   0, 0,
                                     0x12, 0x02, 0x02, 0x00, 0x00};  // sense-key specific, 4 bytes
    const auto tail = LibataSense(0x01, 0x00, 0x1D, 0x00, 0x50);
    two.insert(two.end(), tail.begin() + 8, tail.end());
    decoded = platform::DecodeAtaSense(two);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->ataStatus, 0x50);

    // A descriptor cut short by the buffer, or by the additional length, is not read.
    const auto full = LibataSense(0x01, 0x00, 0x1D, 0x00, 0x50);
    decoded = platform::DecodeAtaSense(std::span(full).first(full.size() - 1));
    ASSERT_TRUE(decoded);
    EXPECT_FALSE(decoded->ataStatus);
    auto shortLength = full;
    shortLength[7] = 0x0D;
    EXPECT_FALSE(platform::DecodeAtaSense(shortLength)->ataStatus);
    auto hugeLength = full;
    hugeLength[9] = 0xFF;  // descriptor claims 257 bytes
    EXPECT_FALSE(platform::DecodeAtaSense(hugeLength)->ataStatus);
    EXPECT_FALSE(platform::DecodeAtaSense(std::span(full).first(7)));
    EXPECT_FALSE(platform::DecodeAtaSense(std::vector<std::uint8_t>{0x7F, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
