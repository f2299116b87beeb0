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

TEST(NvmeAdmin, IdentifyNamespaceNamesItsNamespace) {
    const auto cmd = platform::IdentifyNamespaceCommand(1);
    EXPECT_EQ(cmd.opcode, 0x06);
    EXPECT_EQ(cmd.nsid, 1u);
    EXPECT_EQ(cmd.cdw10, 0x00000000u);  // CNS 00h
    EXPECT_EQ(cmd.cdw11, 0u);
    EXPECT_EQ(cmd.dataLength, 4096u);
}

platform::NvmeAdminCommand With(platform::NvmeAdminCommand cmd,
                                void (*change)(platform::NvmeAdminCommand&)) {
    change(cmd);
    return cmd;
}

// The gate: Identify Controller, Identify Namespace of namespace 1 and the health log with
// RAE pass; every other command, and these with any other field, never reach a controller.
TEST(NvmeAdmin, OnlyTheReadOnlyCommandsWePickPass) {
    using platform::GetLogPageCommand;
    using platform::IdentifyControllerCommand;
    using platform::IdentifyNamespaceCommand;
    using Cmd = platform::NvmeAdminCommand;
    const struct {
        const char* what;
        Cmd cmd;
        bool permitted;
    } kCases[] = {
        {"Identify Controller", IdentifyControllerCommand(), true},
        {"Identify Namespace 1", IdentifyNamespaceCommand(1), true},
        {"the health log with RAE", GetLogPageCommand(0x02, 512), true},
        // Other logs (error information, firmware slots), other sizes, no RAE (the read would
        // clear a pending event).
        {"error log", GetLogPageCommand(0x01, 512), false},
        {"firmware slot log", GetLogPageCommand(0x03, 512), false},
        {"health log of 4096", GetLogPageCommand(0x02, 4096), false},
        {"health log without RAE",
         With(GetLogPageCommand(0x02, 512), [](Cmd& c) { c.cdw10 &= ~0x8000u; }), false},
        // Identify: other namespaces, other CNS, other sizes, and CNS 01h with an NSID.
        {"Identify Namespace 0", IdentifyNamespaceCommand(0), false},
        {"Identify Namespace 2", IdentifyNamespaceCommand(2), false},
        {"Identify Namespace FFFFFFFFh", IdentifyNamespaceCommand(0xFFFFFFFF), false},
        {"Identify Namespace with CDW11",
         With(IdentifyNamespaceCommand(1), [](Cmd& c) { c.cdw11 = 1; }), false},
        {"Identify Namespace of 512",
         With(IdentifyNamespaceCommand(1), [](Cmd& c) { c.dataLength = 512; }), false},
        {"active namespace list (CNS 02h)",
         With(IdentifyNamespaceCommand(1), [](Cmd& c) { c.cdw10 = 0x02; }), false},
        {"Identify Controller with NSID 1",
         With(IdentifyControllerCommand(), [](Cmd& c) { c.nsid = 1; }), false},
        {"Identify Controller with CNTID",
         With(IdentifyControllerCommand(), [](Cmd& c) { c.cdw10 |= 0x10000u; }), false},
        // Every other opcode: Format NVM (80h), Sanitize (84h), Firmware Commit (10h), Set
        // Features (09h), Security Send (81h), Create I/O SQ (01h), Delete I/O SQ (00h).
        {"Format NVM", With(IdentifyControllerCommand(), [](Cmd& c) { c.opcode = 0x80; }), false},
        {"Sanitize", With(IdentifyControllerCommand(), [](Cmd& c) { c.opcode = 0x84; }), false},
        {"Firmware Commit", With(IdentifyControllerCommand(), [](Cmd& c) { c.opcode = 0x10; }),
         false},
        {"Set Features", With(IdentifyControllerCommand(), [](Cmd& c) { c.opcode = 0x09; }),
         false},
        {"Security Send", With(IdentifyNamespaceCommand(1), [](Cmd& c) { c.opcode = 0x81; }),
         false},
        {"opcode 01h", With(IdentifyControllerCommand(), [](Cmd& c) { c.opcode = 0x01; }), false},
        {"opcode 00h", With(IdentifyNamespaceCommand(1), [](Cmd& c) { c.opcode = 0x00; }), false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(platform::IsPermittedNvmeCommand(c.cmd), c.permitted) << c.what;
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
