// quorrix-probe-pages STREAM PAGE: page PAGE (1 to 7) built as the window builds it from a
// saved quorrix-probe stream: the SMBIOS bytes through the in-memory source, drive 0 through
// the replay of its recorded calls, the battery read live. The end-to-end test runs the probe
// as root and this as a user, and compares the bytes with the pages read directly as root.
#include <cstdio>
#include <string>

#include "battery/battery_info.h"
#include "disk/hd_smart.h"
#include "pages/page_dispatch.h"
#include "platform/file_io.h"
#include "platform/system_sources.h"
#include "probe/probe_sources.h"
#include "probe/probe_stream.h"
#include "smbios/smbios.h"

int main(int argc, char** argv) {
    const std::string page = argc == 3 ? argv[2] : "";
    if (page.size() != 1 || page[0] < '1' || page[0] > '7') {
        std::fputs("usage: quorrix-probe-pages STREAM PAGE (1 to 7)\n", stderr);
        return 2;
    }
    std::string err;
    const auto bytes = platform::ReadFileBytes(argv[1], probe::kMaxProbeStreamBytes, &err);
    if (!bytes) {
        std::fprintf(stderr, "quorrix-probe-pages: %s\n", err.c_str());
        return 2;
    }
    const auto data = probe::ReadProbeStream(*bytes, &err);
    if (!data) {
        std::fprintf(stderr, "quorrix-probe-pages: %s: refused: %s\n", argv[1], err.c_str());
        return 2;
    }
    const auto smbiosSource = probe::SmbiosSourceOf(*data);
    const auto drives = probe::DriveSystemOf(*data);
    const auto batteries = platform::MakeSystemBatterySystem();
    CSMBios smbios(*smbiosSource, [](std::string_view, std::string_view) {});
    const CHdSmart hdSmart(*drives);
    const CBatteryInfo battery(*batteries);
    pages::CPageStrings strings;
    const std::string text =
        pages::BuildTextPage(page[0] - '1', {&smbios, &hdSmart, &battery}, &strings);
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
