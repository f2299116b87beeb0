#include "sysinfo/system_summary.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include "text/gbk.h"

namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2) {
        lines.push_back(text.substr(start, pos - start));
    }
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return lines;
}

sysinfo::SummaryFacts FullFacts() {
    sysinfo::SummaryFacts f;
    f.hostName = "laptop";
    f.osName = "Debian GNU/Linux 12 (bookworm)";
    f.osVersion = "12 (bookworm)";
    f.kernelVersion = "Linux 6.1.0-18-amd64 #1 SMP";
    f.bootTime = "2026/12/7, 8:05:09";
    f.manufacturer = "LENOVO";
    f.model = "20HRCTO1WW";
    f.systemType = "x64-based PC";
    f.processors = std::vector<std::string>{"Intel(R) Core(TM) i5-7200U CPU @ 2.50GHz ~2712 Mhz"};
    f.biosVersion = "LENOVO N1MET31W (1.16 ), 2017/3/10";
    f.locale = "zh_CN.UTF-8";
    f.timeZone = "(UTC+08:00) Asia/Shanghai";
    f.memTotalKb = 16303492;
    f.memAvailableKb = 9123456;
    f.swapTotalKb = 0;
    f.swapFreeKb = 0;
    f.adapters =
        std::vector<sysinfo::AdapterFacts>{{"wlp4s0", {"192.168.1.7", "fe80::1"}}, {"docker0", {}}};
    return f;
}

TEST(FormatSummary, KeysInOrderValuesInColumn28) {
    const std::string text = sysinfo::FormatSummary(FullFacts());
    const std::vector<std::string> lines = SplitCrLf(text);
    const std::vector<std::string> expected = {
        "主机名:                    laptop",
        "OS 名称:                   Debian GNU/Linux 12 (bookworm)",
        "OS 版本:                   12 (bookworm)",
        "内核版本:                  Linux 6.1.0-18-amd64 #1 SMP",
        "系统启动时间:              2026/12/7, 8:05:09",
        "系统制造商:                LENOVO",
        "系统型号:                  20HRCTO1WW",
        "系统类型:                  x64-based PC",
        "处理器:                    安装了 1 个处理器。",
        "                           [01]: Intel(R) Core(TM) i5-7200U CPU @ 2.50GHz ~2712 Mhz",
        "BIOS 版本:                 LENOVO N1MET31W (1.16 ), 2017/3/10",
        "系统区域设置:              zh_CN.UTF-8",
        "时区:                      (UTC+08:00) Asia/Shanghai",
        "物理内存总量:              15,921 MB",
        "可用的物理内存:            8,909 MB",
        "交换空间总量:              0 MB",
        "可用的交换空间:            0 MB",
        "网卡:                      安装了 2 个 NIC。",
        "                           [01]: wlp4s0",
        "                                 IP 地址",
        "                                 [01]: 192.168.1.7",
        "                                 [02]: fe80::1",
        "                           [02]: docker0",
        "                                 IP 地址:     无",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(text::GbkToUtf8(lines[i]), expected[i]) << "line " << i;
        // Column 28 in GBK bytes, which is display columns: a Chinese character is two of
        // each. An adapter's details stand six columns further in.
        const std::size_t column = lines[i].starts_with(std::string(sysinfo::kValueColumn + 1, ' '))
                                       ? sysinfo::kValueColumn + 6
                                       : sysinfo::kValueColumn;
        EXPECT_NE(lines[i][column], ' ') << "line " << i;
        EXPECT_EQ(lines[i][column - 1], ' ') << "line " << i;
    }
}

TEST(FormatSummary, MissingValuesSaySoInsteadOfVanishing) {
    const std::string text = sysinfo::FormatSummary({});
    const std::vector<std::string> lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 17u);
    const std::string unavailable = text::Utf8ToGbk("不可用");
    for (const std::string& line : lines) {
        // "key:", blanks up to column 28, then the word.
        EXPECT_EQ(line.size(), sysinfo::kValueColumn + unavailable.size()) << text::GbkToUtf8(line);
        EXPECT_EQ(line.substr(sysinfo::kValueColumn), unavailable) << text::GbkToUtf8(line);
        EXPECT_EQ(line.find_last_not_of(' ', sysinfo::kValueColumn - 1), line.find(':'));
    }
    sysinfo::SummaryFacts some = FullFacts();
    some.processors.reset();
    some.adapters = std::vector<sysinfo::AdapterFacts>{};
    const std::string partial = text::GbkToUtf8(sysinfo::FormatSummary(some));
    EXPECT_NE(partial.find("处理器:                    不可用\r\nBIOS"), std::string::npos);
    EXPECT_TRUE(partial.ends_with("网卡:                      安装了 0 个 NIC。\r\n"));
}

TEST(SummaryParsers, OsReleaseMeminfoAndBootTime) {
    const std::string osRelease =
        "NAME=\"Debian GNU/Linux\"\nVERSION_ID='12'\nPRETTY_NAME=\"Debian \\\"x\\\" 12\"\n"
        "VERSION=12 (bookworm)\nEMPTY=\"\"\nID=debian\n";
    EXPECT_EQ(sysinfo::OsReleaseValue(osRelease, "NAME"), "Debian GNU/Linux");
    EXPECT_EQ(sysinfo::OsReleaseValue(osRelease, "VERSION_ID"), "12");
    EXPECT_EQ(sysinfo::OsReleaseValue(osRelease, "PRETTY_NAME"), "Debian \"x\" 12");
    EXPECT_EQ(sysinfo::OsReleaseValue(osRelease, "VERSION"), "12 (bookworm)");
    EXPECT_EQ(sysinfo::OsReleaseValue(osRelease, "EMPTY"), std::nullopt);
    EXPECT_EQ(sysinfo::OsReleaseValue(osRelease, "ID_LIKE"), std::nullopt);
    EXPECT_EQ(sysinfo::OsReleaseValue(osRelease, "I"), std::nullopt);  // prefix of ID only

    const std::string meminfo =
        "MemTotal:       16303492 kB\nMemFree:  1 kB\nMemAvailable:    9123456 kB\n"
        "SwapTotal:             0 kB\nHugePages_Total:       0\nBroken: x kB\n";
    EXPECT_EQ(sysinfo::MeminfoKb(meminfo, "MemTotal"), 16303492u);
    EXPECT_EQ(sysinfo::MeminfoKb(meminfo, "MemAvailable"), 9123456u);
    EXPECT_EQ(sysinfo::MeminfoKb(meminfo, "SwapTotal"), 0u);
    EXPECT_EQ(sysinfo::MeminfoKb(meminfo, "SwapFree"), std::nullopt);
    EXPECT_EQ(sysinfo::MeminfoKb(meminfo, "Broken"), std::nullopt);
    EXPECT_EQ(sysinfo::MeminfoKb(meminfo, "Mem"), std::nullopt);

    EXPECT_EQ(sysinfo::BootTimeSeconds("cpu  1 2 3\nbtime 1796630709\nprocesses 9\n"), 1796630709);
    EXPECT_EQ(sysinfo::BootTimeSeconds("cpu  1 2 3\nprocesses 9\n"), std::nullopt);
    EXPECT_EQ(sysinfo::BootTimeSeconds("btime -5\n"), std::nullopt);
}

TEST(SummaryParsers, ProcessorsCountedByPackage) {
    // Two packages of two logical processors each; the second package is another model.
    const std::string twoSockets =
        "processor\t: 0\nmodel name\t: Xeon A\nphysical id\t: 0\ncpu MHz\t\t: 2399.6\n\n"
        "processor\t: 1\nmodel name\t: Xeon A\nphysical id\t: 0\ncpu MHz\t\t: 1200.0\n\n"
        "processor\t: 2\nmodel name\t: Xeon B\nphysical id\t: 1\ncpu MHz\t\t: 3000\n\n"
        "processor\t: 3\nmodel name\t: Xeon B\nphysical id\t: 1\ncpu MHz\t\t: 3000\n";
    EXPECT_EQ(sysinfo::ProcessorLines(twoSockets),
              (std::vector<std::string>{"Xeon A ~2400 Mhz", "Xeon B ~3000 Mhz"}));
    // No physical ids and no clock (ARM): one processor, named as well as can be.
    const std::string arm =
        "processor\t: 0\nBogoMIPS\t: 48.00\n\nprocessor\t: 1\nBogoMIPS\t: 48.00\n";
    EXPECT_EQ(sysinfo::ProcessorLines(arm), std::vector<std::string>{"不可用"});
    const std::string vm =
        "processor : 0\nmodel name : QEMU Virtual CPU\n\nprocessor : 1\nmodel name : QEMU Virtual "
        "CPU\n";
    EXPECT_EQ(sysinfo::ProcessorLines(vm), std::vector<std::string>{"QEMU Virtual CPU"});
    EXPECT_EQ(sysinfo::ProcessorLines(""), std::nullopt);
    EXPECT_EQ(sysinfo::ProcessorLines("garbage without colons\n"), std::nullopt);
}

TEST(SummaryParsers, BiosLocaleSystemTypeAndSizes) {
    EXPECT_EQ(sysinfo::BiosVersionText("LENOVO", "N1MET31W (1.16 )", "03/10/2017"),
              "LENOVO N1MET31W (1.16 ), 2017/3/10");
    EXPECT_EQ(sysinfo::BiosVersionText("Dell Inc.", "1.2.3", "2017-03-10"),
              "Dell Inc. 1.2.3, 2017-03-10");
    EXPECT_EQ(sysinfo::BiosVersionText(std::nullopt, "1.0", std::nullopt), "1.0");
    EXPECT_EQ(sysinfo::BiosVersionText(std::nullopt, std::nullopt, "03/10/2017"), std::nullopt);
    EXPECT_EQ(sysinfo::BiosVersionText("A", "B", "13/40/2017"), "A B, 13/40/2017");

    EXPECT_EQ(sysinfo::LocaleAssignment("# comment\nLANG=zh_CN.UTF-8\n"), "zh_CN.UTF-8");
    EXPECT_EQ(sysinfo::LocaleAssignment("LC_ALL=\"en_US.UTF-8\"\n"), "en_US.UTF-8");
    EXPECT_EQ(sysinfo::LocaleAssignment("LANGUAGE=de\n"), std::nullopt);

    EXPECT_EQ(sysinfo::SystemTypeText("x86_64"), "x64-based PC");
    EXPECT_EQ(sysinfo::SystemTypeText("i686"), "X86-based PC");
    EXPECT_EQ(sysinfo::SystemTypeText("aarch64"), "ARM64-based PC");
    EXPECT_EQ(sysinfo::SystemTypeText("riscv64"), "riscv64-based PC");

    EXPECT_EQ(sysinfo::MegabytesText(0), "0 MB");
    EXPECT_EQ(sysinfo::MegabytesText(1023), "0 MB");
    EXPECT_EQ(sysinfo::MegabytesText(1024 * 999), "999 MB");
    EXPECT_EQ(sysinfo::MegabytesText(1024 * 1000), "1,000 MB");
    EXPECT_EQ(sysinfo::MegabytesText(1024ull * 1234567), "1,234,567 MB");
}

TEST(SummaryParsers, LocalTimeAndZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    // POSIX zone strings need no time zone database: eight hours east, and 3:30 west.
    ::setenv("TZ", "CST-8", 1);
    ::tzset();
    EXPECT_EQ(sysinfo::LocalTimeText(0), "1970/1/1, 8:00:00");
    EXPECT_EQ(sysinfo::TimeZoneText(0, "Asia/Shanghai"), "(UTC+08:00) Asia/Shanghai");
    EXPECT_EQ(sysinfo::TimeZoneText(0, ""), "(UTC+08:00) CST");
    ::setenv("TZ", "NST+3:30", 1);
    ::tzset();
    EXPECT_EQ(sysinfo::LocalTimeText(1796630709), "2026/12/7, 4:35:09");
    EXPECT_EQ(sysinfo::TimeZoneText(0, ""), "(UTC-03:30) NST");
    if (old) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
