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
    EXPECT_EQ(cmd.cdw10, 0x007F0002u);  // NUMDL 127 (128 dwords), LID 02h
    EXPECT_EQ(cmd.cdw11, 0u);
    EXPECT_EQ(cmd.dataLength, 512u);
    // Past 256 KiB the count spills into NUMDU.
    cmd = platform::GetLogPageCommand(0x01, 0x40000 + 4);
    EXPECT_EQ(cmd.cdw10, 0x00000001u);
    EXPECT_EQ(cmd.cdw11, 0x00000001u);
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
