// The verdict's rows at both sides of every threshold, over built figures.
#include "verdict/verdict_checks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "text/gbk.h"

namespace {

using verdict::Facts;
using verdict::Status;

// A healthy laptop with an ATA drive; each case changes what it checks.
Facts Healthy() {
    Facts facts;
    facts.battery = {"10", "100"};
    facts.drive.kind = DriveKind::kAta;
    facts.drive.strPowerOnHours = "100";
    facts.drive.strReallocatedSectors = "0";
    facts.drive.strPendingSectors = "0";
    facts.drive.strUncorrectableSectors = "0";
    facts.serials = verdict::SerialFacts{"PF1XAMPL", "L1HF9AB0123"};
    facts.panel = verdict::PanelFacts{true, 8};
    return facts;
}

void Nvme(Facts& f, std::string used, std::string spare, std::string threshold, std::string errors,
          std::string warning) {
    f.drive.kind = DriveKind::kNvme;
    f.drive.strPercentageUsed = std::move(used);
    f.drive.strAvailableSpare = std::move(spare);
    f.drive.strSpareThreshold = std::move(threshold);
    f.drive.strMediaErrors = std::move(errors);
    f.drive.strCriticalWarning = std::move(warning);
}

TEST(VerdictChecks, EachRowAtTheEdgesOfItsRule) {
    struct Case {
        const char* label;
        std::function<void(Facts&)> change;
        Status status;
        std::string figure;  // UTF-8
    };
    const auto wear = [](const char* w) { return [w](Facts& f) { f.battery.strWear = w; }; };
    const auto cycles = [](const char* c) {
        return [c](Facts& f) { f.battery.strCycleCount = c; };
    };
    const auto hours = [](const char* h) { return [h](Facts& f) { f.drive.strPowerOnHours = h; }; };
    const auto sectors = [](const char* a, const char* b, const char* c) {
        return [=](Facts& f) {
            f.drive.strReallocatedSectors = a;
            f.drive.strPendingSectors = b;
            f.drive.strUncorrectableSectors = c;
        };
    };
    const auto nvme = [](const char* u, const char* s, const char* t, const char* e,
                         const char* w) { return [=](Facts& f) { Nvme(f, u, s, t, e, w); }; };
    const auto system = [](std::string s) { return [s](Facts& f) { f.serials->strSystem = s; }; };
    const auto panel = [](bool ok, std::optional<std::uint8_t> bits) {
        return [=](Facts& f) { f.panel = verdict::PanelFacts{ok, bits}; };
    };
    const auto serials = [](const std::string& shown) {
        return "整机 " + shown + "，主板 L1HF9AB0123";
    };
    const std::string withNuls(" default STRING\0\0", 17);
    const char* k2To128 = "340282366920938463463374607431768211455";  // 2^128 - 1
    const std::vector<Case> cases = {
        {"电池损耗", wear("19"), Status::kNormal, "损耗 19%"},
        {"电池损耗", wear("20"), Status::kAttention, "损耗 20%"},
        {"电池损耗", wear("39"), Status::kAttention, "损耗 39%"},
        {"电池损耗", wear("40"), Status::kFault, "损耗 40%"},
        {"电池损耗", wear(""), Status::kUnknown, ""},
        {"电池循环", cycles("0"), Status::kNormal, "循环 0 次"},
        {"电池循环", cycles("499"), Status::kNormal, "循环 499 次"},
        {"电池循环", cycles("500"), Status::kAttention, "循环 500 次"},
        {"电池循环", cycles("999"), Status::kAttention, "循环 999 次"},
        {"电池循环", cycles("1000"), Status::kFault, "循环 1000 次"},
        {"电池循环", cycles(""), Status::kUnknown, ""},    // the battery does not know
        {"电池循环", cycles("-1"), Status::kUnknown, ""},  // never judged as a count
        {"硬盘通电", hours("8759"), Status::kNormal, "通电 8759 小时"},
        {"硬盘通电", hours("8760"), Status::kAttention, "通电 8760 小时"},
        {"硬盘通电", hours(k2To128), Status::kAttention,
         std::string("通电 ") + k2To128 + " 小时"},  // an NVMe counter beyond 64 bits
        {"硬盘通电", hours(""), Status::kUnknown, ""},
        {"硬盘坏块", sectors("0", "0", "0"), Status::kNormal, "重映射 0，待映射 0，不可修复 0"},
        {"硬盘坏块", sectors("1", "0", "0"), Status::kFault, "重映射 1，待映射 0，不可修复 0"},
        {"硬盘坏块", sectors("0", "1", "0"), Status::kFault, "重映射 0，待映射 1，不可修复 0"},
        {"硬盘坏块", sectors("0", "0", "1"), Status::kFault, "重映射 0，待映射 0，不可修复 1"},
        {"硬盘坏块", sectors("", "0", ""), Status::kNormal, "重映射 -，待映射 0，不可修复 -"},
        {"硬盘坏块", sectors("", "", "3"), Status::kFault, "重映射 -，待映射 -，不可修复 3"},
        {"硬盘坏块", sectors("", "", ""), Status::kUnknown, ""},
        {"硬盘寿命", nvme("79", "100", "10", "0", "0"), Status::kNormal,
         "已用 79%，备用 100%，阈值 10%，错误 0，警告 0"},
        {"硬盘寿命", nvme("80", "100", "10", "0", "0"), Status::kAttention,
         "已用 80%，备用 100%，阈值 10%，错误 0，警告 0"},
        {"硬盘寿命", nvme("99", "100", "10", "0", "0"), Status::kAttention,
         "已用 99%，备用 100%，阈值 10%，错误 0，警告 0"},
        {"硬盘寿命", nvme("100", "100", "10", "0", "0"), Status::kFault,
         "已用 100%，备用 100%，阈值 10%，错误 0，警告 0"},
        {"硬盘寿命", nvme("0", "10", "10", "0", "0"), Status::kNormal,
         "已用 0%，备用 10%，阈值 10%，错误 0，警告 0"},
        {"硬盘寿命", nvme("0", "9", "10", "0", "0"), Status::kFault,
         "已用 0%，备用 9%，阈值 10%，错误 0，警告 0"},
        {"硬盘寿命", nvme("0", "100", "10", "1", "0"), Status::kFault,
         "已用 0%，备用 100%，阈值 10%，错误 1，警告 0"},
        {"硬盘寿命", nvme("85", "100", "10", k2To128, "0"), Status::kFault,
         std::string("已用 85%，备用 100%，阈值 10%，错误 ") + k2To128 + "，警告 0"},
        {"硬盘寿命", nvme("0", "100", "10", "0", "1"), Status::kFault,
         "已用 0%，备用 100%，阈值 10%，错误 0，警告 1"},
        {"硬盘寿命", nvme("0", "100", "10", "0", "32"), Status::kFault,
         "已用 0%，备用 100%，阈值 10%，错误 0，警告 32"},
        {"硬盘寿命", nvme("", "", "", "", ""), Status::kUnknown, ""},  // no health log
        {"整机序列号", [](Facts&) {}, Status::kNormal, serials("PF1XAMPL")},
        {"整机序列号", system(""), Status::kAttention, serials("-")},
        {"整机序列号", system(" \t"), Status::kAttention, serials("-")},
        {"整机序列号", system("To be filled by O.E.M."), Status::kAttention,
         serials("To be filled by O.E.M.")},
        {"整机序列号", system(withNuls), Status::kAttention, serials(withNuls)},
        {"整机序列号", system("SYSTEM SERIAL NUMBER"), Status::kAttention,
         serials("SYSTEM SERIAL NUMBER")},
        {"整机序列号", system("\tNot Specified "), Status::kAttention, serials("\tNot Specified ")},
        {"整机序列号", system("0"), Status::kAttention, serials("0")},
        {"整机序列号", system("0123456789"), Status::kAttention, serials("0123456789")},
        {"整机序列号", system("00000000"), Status::kAttention, serials("00000000")},
        {"整机序列号", system("xX"), Status::kAttention, serials("xX")},
        {"整机序列号", system("X"), Status::kNormal, serials("X")},  // one is not repeated
        {"整机序列号", system("01234567890"), Status::kNormal, serials("01234567890")},
        {"整机序列号", system("Not Specified1"), Status::kNormal, serials("Not Specified1")},
        {"整机序列号", [](Facts& f) { f.serials->strBoard = "Default string"; }, Status::kAttention,
         "整机 PF1XAMPL，主板 Default string"},
        {"整机序列号", [](Facts& f) { f.serials.reset(); }, Status::kUnknown, ""},
        {"屏幕", panel(true, 8), Status::kNormal, "校验和正确，8 位"},
        {"屏幕", panel(true, 10), Status::kNormal, "校验和正确，10 位"},
        {"屏幕", panel(true, 6), Status::kAttention, "校验和正确，6 位"},
        {"屏幕", panel(true, std::nullopt), Status::kUnknown, ""},  // before EDID 1.4
        {"屏幕", panel(false, 8), Status::kFault, "校验和错误，8 位"},
        {"屏幕", panel(false, std::nullopt), Status::kFault, "校验和错误"},
        {"屏幕", [](Facts& f) { f.panel.reset(); }, Status::kUnknown, ""},
    };
    for (const Case& c : cases) {
        Facts facts = Healthy();
        c.change(facts);
        const std::vector<verdict::Row> rows = verdict::JudgeChecks(facts);
        const verdict::Row* found = nullptr;
        for (const verdict::Row& row : rows) {
            if (row.label == c.label) found = &row;
        }
        ASSERT_NE(found, nullptr) << c.label << " " << c.figure;
        EXPECT_EQ(found->status, c.status) << c.label << " " << c.figure;
        EXPECT_EQ(text::GbkToUtf8(found->strFigure), c.figure) << c.label;
    }
}

}  // namespace
