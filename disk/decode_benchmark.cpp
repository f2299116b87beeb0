// The decoding work of one drive: converting the identify strings and walking the SMART
// attribute table, and the whole reader over in-memory sectors.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>

#include "disk/ata_identify.h"
#include "disk/hd_smart.h"
#include "disk/smart_attributes.h"
#include "platform/fake/fake_drive_system.h"
#include "tests/support/test_sectors.h"

namespace {

struct Sectors {
    std::vector<std::uint8_t> identify =
        disktest::IdentifySector("  KINGSTON SA400S37240G", "50026B7782159949", "SBFK71B1");
    std::vector<std::uint8_t> smart = [] {
        auto sector = disktest::SmartSector();
        for (std::uint8_t i = 0; i < 30; ++i) {
            disktest::PutAttribute(sector, i, static_cast<std::uint8_t>(i + 1), {i, 1, 0, 0, 0, 0});
        }
        disktest::PutAttribute(sector, 8, 9, {0x2A, 0x23, 0, 0, 0, 0});
        disktest::PutAttribute(sector, 11, 12, {0x18, 0x0C, 0, 0, 0, 0});
        disktest::PutAttribute(sector, 29, 194, {0x1A, 0, 0x10, 0, 0x30, 0});
        return sector;
    }();
};

void BM_DecodeIdentifyAndAttributes(benchmark::State& state) {
    const Sectors sectors;
    for (auto _ : state) {
        std::array<std::uint8_t, disk::kIdentifyKeptBytes> identify{};
        std::copy_n(sectors.identify.begin(), identify.size(), identify.begin());
        disk::AtaIdentity identity = disk::ConvertIdentifyStrings(identify);
        disk::SmartCounters counters = disk::WalkSmartAttributes(sectors.smart);
        benchmark::DoNotOptimize(identity);
        benchmark::DoNotOptimize(counters);
    }
}
BENCHMARK(BM_DecodeIdentifyAndAttributes);

void BM_ReadDriveFromMemory(benchmark::State& state) {
    const Sectors sectors;
    platform::FakeDrive drive;
    drive.identify = sectors.identify;
    drive.smartData = sectors.smart;
    for (auto _ : state) {
        platform::CFakeDriveSystem drives({drive});
        CHdSmart smart(drives);
        benchmark::DoNotOptimize(smart.m_strPowerOnHours);
    }
}
BENCHMARK(BM_ReadDriveFromMemory);

}  // namespace
