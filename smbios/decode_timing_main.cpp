// quorrix-decode-timing DMI_DIR [ROUNDS]: the time to fetch and decode one saved table and
// build its five pages, measured inside one process, so that builds for different systems
// (one of them under an emulator, whose start-up would swamp a whole-process timing) can be
// compared. Prints the median of ROUNDS rounds of 200 constructions, per construction, in
// microseconds. Needs no benchmark library, so it builds wherever the decoder does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/smbios_source.h"
#include "platform/sysfs/dmi_folder_source.h"
#include "smbios/smbios.h"
#include "smbios/smbios_pages.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorrix-decode-timing DMI_DIR [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 31;
    constexpr int kPerRound = 200;
    platform::CDmiFolderSmbiosSource folder(argv[1]);
    platform::CFixedSmbiosSource source(folder.ReadTables());
    std::vector<double> perConstruction;
    std::size_t sink = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPerRound; ++i) {
            auto smbios = std::make_unique<CSMBios>(source, platform::Notifier());
            std::string version;
            std::string pages = smbios::BuildBiosPage(*smbios, &version);
            pages += smbios::BuildSystemPage(*smbios);
            pages += smbios::BuildBoardPage(*smbios);
            pages += smbios::BuildProcessorPage(*smbios);
            smbios::AppendMemoryPage(*smbios, &pages);
            sink += pages.size();
        }
        const std::chrono::duration<double, std::micro> took =
            std::chrono::steady_clock::now() - start;
        perConstruction.push_back(took.count() / kPerRound);
    }
    std::sort(perConstruction.begin(), perConstruction.end());
    std::printf("%.3f\n", perConstruction[perConstruction.size() / 2]);
    return sink == 0 ? 1 : 0;
}
