// DecodeTable on the largest captured table and on a synthetic table of the largest size
// the buffer takes (63999 bytes), filled with the structure types that are decoded; and the
// whole construction of a fresh object from the synthetic table.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/smbios_source.h"
#include "platform/sysfs/dmi_folder_source.h"
#include "smbios/smbios.h"
#include "tests/support/smbios_table_builder.h"

namespace {

using smbios::CFormatted;
using smbios::SmbiosTableBuilder;

std::unique_ptr<CSMBios> Load(platform::ISmbiosSource& source) {
    return std::make_unique<CSMBios>(source, [](std::string_view, std::string_view) {});
}

std::filesystem::path FixtureTable() {
    const char* env = std::getenv("QUORRIX_FIXTURES_DIR");
    const std::filesystem::path root = env && *env ? env : QUORRIX_FIXTURES_DIR;
    return root / "smbios" / "libsmbios" / "Dell-Precision-T7600";
}

// One machine's worth of decoded structures: BIOS, system, board, processor, three caches,
// four memory sockets (two populated), a battery and an OEM string set.
void AddMachine(SmbiosTableBuilder& b, int n) {
    const std::string id = std::to_string(n);
    b.Add(CFormatted(0, 0x1A)
              .Byte(0x04, 1)
              .Byte(0x05, 2)
              .Byte(0x08, 3)
              .Byte(0x09, 0xFF)
              .Word(0x18, 32),
          {"American Megatrends Inc.", "F12 " + id, "03/14/2019"});
    b.Add(CFormatted(1, 0x1B)
              .Bytes(0x04, {1, 2, 3, 4})
              .Dword(0x08, 0x12345678u + n)
              .Byte(0x19, 5)
              .Byte(0x1A, 6),
          {"Gigabyte Technology Co., Ltd.", "X399 AORUS Gaming 7", "Default string", "SN" + id,
           "Default string", "X399 MB"});
    b.Add(CFormatted(2, 0x0F).Bytes(0x04, {1, 2, 3, 4}),
          {"Gigabyte Technology Co., Ltd.", "X399 AORUS Gaming 7-CF", "x.x", "Default string"});
    b.Add(CFormatted(4, 0x30)
              .Byte(0x07, 1)
              .Byte(0x10, 2)
              .Word(0x12, 100)
              .Word(0x14, 4200)
              .Byte(0x23, 32)
              .Byte(0x25, 64),
          {"Advanced Micro Devices, Inc.", "AMD Ryzen Threadripper 2990WX 32-Core Processor"});
    for (std::uint16_t level = 0; level < 3; ++level) {
        std::string socket = "L";
        socket += std::to_string(level + 1);
        socket += " - Cache";
        b.Add(CFormatted(7, 0x1B)
                  .Word(0x05, static_cast<std::uint16_t>(0x0180 | level))
                  .Word(0x09, 0x8040),
              {socket});
    }
    for (int slot = 0; slot < 4; ++slot) {
        const std::uint16_t size = slot % 2 == 0 ? 0x7FFF : 0;
        b.Add(CFormatted(17, 0x28)
                  .Word(0x0C, size)
                  .Byte(0x12, 0x1A)
                  .Word(0x15, 2933)
                  .Bytes(0x17, {1, 2, 3, 4})
                  .Dword(0x1C, 16384),
              {"Samsung", "0x" + id + "3C" + std::to_string(slot), "Asset", "M378A2K43CB1-CTD"});
    }
    b.Add(CFormatted(22, 0x1A).Byte(0x04, 1).Byte(0x05, 2).Word(0x0C, 11100).Word(0x12, 0x40EF),
          {"Front", "LGC"});
    b.Add(CFormatted(11, 0x05).Byte(0x04, 4), {"OEM string one", "OEM string two", "3", "4"});
}

std::vector<std::uint8_t> FullTable() {
    SmbiosTableBuilder b;
    const std::size_t target = CSMBios::kMaxTableBytes - 1;
    for (int n = 0;; ++n) {
        SmbiosTableBuilder one;
        AddMachine(one, n);
        if (b.Size() + one.Size() + 16 > target) break;
        AddMachine(b, n);
    }
    // Fill the rest exactly with one OEM structure: 4 bytes, one string, two zeros.
    b.Add(CFormatted(0x80, 4), {std::string(target - b.Size() - 6, 'x')});
    return b.Table();
}

void BM_DecodeFixture(benchmark::State& state) {
    const std::filesystem::path dir = FixtureTable();
    if (!std::filesystem::exists(dir / "DMI")) {
        state.SkipWithError("fixture table not found (QUORRIX_FIXTURES_DIR)");
        return;
    }
    platform::CDmiFolderSmbiosSource source(dir.string());
    auto s = Load(source);
    if (s->m_dwTableLength == 0) {
        state.SkipWithError("fixture table could not be read");
        return;
    }
    for (auto _ : state) {
        s->DecodeTable();
        benchmark::DoNotOptimize(s->m_nMemoryCount);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * s->m_dwTableLength);
    state.counters["table_bytes"] = s->m_dwTableLength;
}
BENCHMARK(BM_DecodeFixture);

void BM_DecodeFullTable(benchmark::State& state) {
    platform::RawSmbios tables = SmbiosTableBuilder().Version(3, 0).Tables();
    tables.table = FullTable();
    platform::CFixedSmbiosSource source(tables);
    auto s = Load(source);
    if (s->m_dwTableLength != CSMBios::kMaxTableBytes - 1) {
        state.SkipWithError("synthetic table has the wrong size");
        return;
    }
    for (auto _ : state) {
        s->DecodeTable();
        benchmark::DoNotOptimize(s->m_nMemoryCount);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * s->m_dwTableLength);
    state.counters["modules"] = s->m_nMemoryCount;
}
BENCHMARK(BM_DecodeFullTable);

// The whole construction, as the program does it once: a fresh object, the fetch (buffer
// cleared, table copied) and the decode, every text allocated anew.
void BM_ConstructFullTable(benchmark::State& state) {
    platform::RawSmbios tables = SmbiosTableBuilder().Version(3, 0).Tables();
    tables.table = FullTable();
    platform::CFixedSmbiosSource source(tables);
    for (auto _ : state) {
        auto s = Load(source);
        benchmark::DoNotOptimize(s->m_nMemoryCount);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(tables.table->size()));
}
BENCHMARK(BM_ConstructFullTable);

}  // namespace

BENCHMARK_MAIN();
