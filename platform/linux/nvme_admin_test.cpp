#include "platform/linux/nvme_admin.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(NvmeAdmin, IdentifyControllerCommand) {
    const auto cmd = platform::IdentifyControllerCommand();
    EXPECT_EQ(cmd.opcode, 0x06);
    EXPECT_EQ(cmd.nsid, 0u);
    EXPECT_EQ(cmd.cdw10, 0x00000001u);  // CNS 01h, CNTID 0
    EXPECT_EQ(cmd.cdw11, 0u);
    EXPECT_EQ(cmd.dataLength, 4096u);
}

TEST(NvmeAdmin, GetLogPageCountsDwordsFromZero) {
    auto cmd = platform::GetLogPageCommand(0x02, 512);
    EXPECT_EQ(cmd.opcode, 0x02);
    EXPECT_EQ(cmd.nsid, 0xFFFFFFFFu);
    EXPECT_EQ(cmd.cdw10, 0x007F8002u);  // NUMDL 127 (128 dwords), RAE, LID 02h
    EXPECT_EQ(cmd.cdw11, 0u);
    EXPECT_EQ(cmd.dataLength, 512u);
    // Past 256 KiB the count spills into NUMDU.
    cmd = platform::GetLogPageCommand(0x01, 0x40000 + 4);
    EXPECT_EQ(cmd.cdw10, 0x00008001u);
    EXPECT_EQ(cmd.cdw11, 0x00000001u);
}

TEST(NvmeAdmin, OnlyIdentifyControllerAndTheHealthLogWithRaePass) {
    using platform::IsPermittedNvmeCommand;
    EXPECT_TRUE(IsPermittedNvmeCommand(platform::IdentifyControllerCommand()));
    EXPECT_TRUE(IsPermittedNvmeCommand(platform::GetLogPageCommand(0x02, 512)));

    // Other logs (error information, firmware slots, telemetry), other sizes, other CNS.
    EXPECT_FALSE(IsPermittedNvmeCommand(platform::GetLogPageCommand(0x01, 512)));
    EXPECT_FALSE(IsPermittedNvmeCommand(platform::GetLogPageCommand(0x03, 512)));
    EXPECT_FALSE(IsPermittedNvmeCommand(platform::GetLogPageCommand(0x02, 4096)));
    auto cmd = platform::GetLogPageCommand(0x02, 512);
    cmd.cdw10 &= ~0x8000u;  // without RAE the read would clear a pending event
    EXPECT_FALSE(IsPermittedNvmeCommand(cmd));
    cmd = platform::IdentifyControllerCommand();
    cmd.cdw10 = 0x00;  // Identify Namespace
    EXPECT_FALSE(IsPermittedNvmeCommand(cmd));
    // Every other opcode: Format NVM (80h), Sanitize (84h), Firmware Commit (10h), Set
    // Features (09h), Security Send (81h).
    for (std::uint8_t opcode : {0x80, 0x84, 0x10, 0x09, 0x81, 0x01, 0x00}) {
        cmd = platform::IdentifyControllerCommand();
        cmd.opcode = opcode;
        EXPECT_FALSE(IsPermittedNvmeCommand(cmd)) << int{opcode};
    }
}

TEST(NvmeAdmin, JudgeResult) {
    int errorCode = -1;
    EXPECT_TRUE(platform::JudgeNvmeResult(0, EPERM, &errorCode));
    EXPECT_EQ(errorCode, 0);
    EXPECT_FALSE(platform::JudgeNvmeResult(0x4002, 0, &errorCode));  // Invalid Field, DNR
    EXPECT_EQ(errorCode, EIO);
    EXPECT_FALSE(platform::JudgeNvmeResult(-1, EACCES, &errorCode));
    EXPECT_EQ(errorCode, EACCES);
}

}  // namespace
