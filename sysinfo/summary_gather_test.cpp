#include "sysinfo/summary_gather.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/linux/process_runner.h"
#include "sysinfo/command_capture.h"
#include "tests/support/temp_dir.h"
#include "text/gbk.h"

namespace {

TEST(GatherSummaryFacts, ReadsTheFilesBelowTheRoot) {
    testsupport::CTempDir root;
    root.Write("etc/os-release",
               "NAME=\"Test OS\"\nPRETTY_NAME=\"Test OS 7 (lynx)\"\nVERSION_ID=7\n");
    root.Write("proc/stat", "cpu  1 2 3 4\nbtime 1796630709\n");
    root.Write("proc/cpuinfo",
               "processor\t: 0\nmodel name\t: Test CPU\nphysical id\t: 0\n"
               "cpu MHz\t\t: 1800.000\n\n");
    root.Write("proc/meminfo",
               "MemTotal:  8388608 kB\nMemAvailable: 4194304 kB\n"
               "SwapTotal: 2097152 kB\nSwapFree: 1048576 kB\n");
    root.Write("sys/class/dmi/id/sys_vendor", "ACME Computers\n");
    root.Write("sys/class/dmi/id/product_name", "  Featherweight 13  \n");
    root.Write("sys/class/dmi/id/bios_vendor", "ACME\n");
    root.Write("sys/class/dmi/id/bios_version", "1.07\n");
    root.Write("sys/class/dmi/id/bios_date", "02/29/2024\n");
    root.Write("etc/default/locale", "LANG=zh_CN.UTF-8\n");
    root.Write("etc/timezone", "Asia/Shanghai\n");

    const sysinfo::SummaryFacts facts = sysinfo::GatherSummaryFacts(root.Path().string());
    EXPECT_EQ(facts.osName, "Test OS 7 (lynx)");
    EXPECT_EQ(facts.osVersion, "7");  // no VERSION: VERSION_ID
    EXPECT_TRUE(facts.bootTime && facts.bootTime->starts_with("2026/12/"));
    EXPECT_EQ(facts.processors, std::vector<std::string>{"Test CPU ~1800 Mhz"});
    EXPECT_EQ(facts.memTotalKb, 8388608u);
    EXPECT_EQ(facts.memAvailableKb, 4194304u);
    EXPECT_EQ(facts.swapTotalKb, 2097152u);
    EXPECT_EQ(facts.swapFreeKb, 1048576u);
    EXPECT_EQ(facts.manufacturer, "ACME Computers");
    EXPECT_EQ(facts.model, "Featherweight 13");
    EXPECT_EQ(facts.biosVersion, "ACME 1.07, 2024/2/29");
    EXPECT_EQ(facts.locale, "zh_CN.UTF-8");
    if (!std::getenv("TZ")) {
        ASSERT_TRUE(facts.timeZone);
        EXPECT_TRUE(facts.timeZone->ends_with(") Asia/Shanghai")) << *facts.timeZone;
    }
    // What the C library answers does not depend on the root.
    EXPECT_TRUE(facts.hostName);
    EXPECT_TRUE(facts.kernelVersion);
    EXPECT_TRUE(facts.systemType);
    EXPECT_TRUE(facts.adapters);
}

TEST(GatherSummaryFacts, EmptyRootLeavesTheFileValuesUnknown) {
    testsupport::CTempDir root;
    const sysinfo::SummaryFacts facts = sysinfo::GatherSummaryFacts(root.Path().string());
    EXPECT_FALSE(facts.osName);
    EXPECT_FALSE(facts.osVersion);
    EXPECT_FALSE(facts.bootTime);
    EXPECT_FALSE(facts.processors);
    EXPECT_FALSE(facts.memTotalKb);
    EXPECT_FALSE(facts.manufacturer);
    EXPECT_FALSE(facts.biosVersion);
    // /usr/lib/os-release is the fallback of /etc/os-release.
    root.Write("usr/lib/os-release", "NAME=Fallback\n");
    EXPECT_EQ(sysinfo::GatherSummaryFacts(root.Path().string()).osName, "Fallback");
}

// The program itself, run the way the window runs it: through the shell, from its path.
TEST(QuorrixSystemInfo, PrintsEveryKeyInOrderAsGbk) {
    platform::CLinuxProcessRunner runner;
    std::string output;
    sysinfo::CaptureView view{[&](const std::string& text) { output = text; },
                              [](std::chrono::milliseconds) {},
                              [](std::string_view, std::string_view) { FAIL(); }, "test"};
    ASSERT_EQ(sysinfo::RunCommand(runner, platform::ShellQuote(QUORRIX_SYSTEMINFO_PATH), view),
              sysinfo::CaptureResult::kFinished);
    ASSERT_TRUE(output.ends_with("\r\n"));
    EXPECT_EQ(output.find("\n"), output.find("\r\n") + 1);
    const std::string utf8 = text::GbkToUtf8(output);
    EXPECT_EQ(text::Utf8ToGbk(utf8), output) << "not clean GBK";
    std::size_t at = 0;
    for (const char* key :
         {"主机名:", "OS 名称:", "OS 版本:", "内核版本:", "系统启动时间:", "系统制造商:",
          "系统型号:", "系统类型:", "处理器:", "BIOS 版本:", "系统区域设置:", "时区:",
          "物理内存总量:", "可用的物理内存:", "交换空间总量:", "可用的交换空间:", "网卡:"}) {
        const std::size_t found = utf8.find(std::string("\n") + key, at == 0 ? 0 : at);
        const bool first = at == 0 && utf8.starts_with(key);
        ASSERT_TRUE(first || found != std::string::npos) << key << " missing or out of order";
        at = first ? 1 : found + 1;
    }
}

}  // namespace
