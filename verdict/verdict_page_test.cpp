// The verdict page's frame: which lines, in what order, and how the last line counts them.
#include "verdict/verdict_page.h"

#include <gtest/gtest.h>

#include <string>

#include "text/gbk.h"

namespace {

using verdict::Facts;

std::string PageOf(const Facts& facts) {
    return text::GbkToUtf8(verdict::FormatVerdictPage(verdict::JudgeChecks(facts)));
}

// An ATA laptop with a worn battery, a used drive with one pending sector and a placeholder
// board serial; no EDID was read.
Facts Worn() {
    Facts facts;
    facts.battery = {"27", "512"};
    facts.drive.kind = DriveKind::kAta;
    facts.drive.strPowerOnHours = "9000";
    facts.drive.strReallocatedSectors = "0";
    facts.drive.strPendingSectors = "1";
    facts.serials = verdict::SerialFacts{"PF1XAMPL", "Default string"};
    return facts;
}

TEST(VerdictPage, LinesInOrderTheLinesThatApplyAndTheCount) {
    // Every line in the page's order, the ATA drive's sector line and no life line; the
    // screen is unknown and not counted; no line break after the last.
    EXPECT_EQ(PageOf(Worn()),
              "电池损耗    ：注意（损耗 27%）\r\n"
              "电池循环    ：注意（循环 512 次）\r\n"
              "硬盘通电    ：注意（通电 9000 小时）\r\n"
              "硬盘坏块    ：异常（重映射 0，待映射 1，不可修复 -）\r\n"
              "整机序列号  ：注意（整机 PF1XAMPL，主板 Default string）\r\n"
              "屏幕        ：未知\r\n"
              "结论        ：异常 1 项，注意 4 项");

    // An NVMe drive: its life line in place of the sector line.
    Facts nvme = Worn();
    nvme.drive = {};
    nvme.drive.kind = DriveKind::kNvme;
    nvme.drive.strPowerOnHours = "10";
    nvme.drive.strPercentageUsed = "3";
    nvme.drive.strAvailableSpare = "100";
    nvme.drive.strSpareThreshold = "10";
    nvme.drive.strMediaErrors = "0";
    nvme.drive.strCriticalWarning = "0";
    nvme.battery = {"5", "0"};
    nvme.serials->strBoard = "L1HF9AB0123";
    nvme.panel = verdict::PanelFacts{true, 8};
    EXPECT_EQ(PageOf(nvme),
              "电池损耗    ：正常（损耗 5%）\r\n"
              "电池循环    ：正常（循环 0 次）\r\n"
              "硬盘通电    ：正常（通电 10 小时）\r\n"
              "硬盘寿命    ：正常（已用 3%，备用 100%，阈值 10%，错误 0，警告 0）\r\n"
              "整机序列号  ：正常（整机 PF1XAMPL，主板 L1HF9AB0123）\r\n"
              "屏幕        ：正常（校验和正确，8 位）\r\n"
              "结论        ：未发现问题");

    // Nothing read: both drive lines, every line unknown, nothing found.
    EXPECT_EQ(PageOf(Facts{}),
              "电池损耗    ：未知\r\n"
              "电池循环    ：未知\r\n"
              "硬盘通电    ：未知\r\n"
              "硬盘坏块    ：未知\r\n"
              "硬盘寿命    ：未知\r\n"
              "整机序列号  ：未知\r\n"
              "屏幕        ：未知\r\n"
              "结论        ：未发现问题");
    EXPECT_EQ(verdict::BuildVerdictPage(nullptr, nullptr, nullptr, nullptr),
              verdict::FormatVerdictPage(verdict::JudgeChecks(Facts{})));
}

}  // namespace
