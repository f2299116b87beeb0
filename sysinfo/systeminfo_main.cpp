// quorrix-systeminfo: a summary of this machine's hardware and software, as the
// other-information page of the window shows it. GBK text with CR LF line ends on stdout.
#include <cstdio>

#include "sysinfo/summary_gather.h"
#include "sysinfo/system_summary.h"

int main() {
    const std::string summary = sysinfo::FormatSummary(sysinfo::GatherSummaryFacts());
    const bool written = std::fwrite(summary.data(), 1, summary.size(), stdout) == summary.size();
    return (written && std::fflush(stdout) == 0) ? 0 : 1;
}
