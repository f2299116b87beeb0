// Feeds arbitrary bytes to the decoder three ways: as a structure table behind a valid
// entry point, as an entry point, and as a `dmidecode --dump-bin` file. Every page is built
// from the result, so the page builders see whatever texts the decoder made.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/smbios_source.h"
#include "platform/sysfs/smbios_entry_point.h"
#include "smbios/smbios.h"
#include "smbios/smbios_pages.h"

namespace {

void BuildPages(platform::RawSmbios tables) {
    platform::CFixedSmbiosSource source(std::move(tables));
    auto smbios = std::make_unique<CSMBios>(source, [](std::string_view, std::string_view) {});
    std::string version;
    std::string pages = smbios::BuildBiosPage(*smbios, &version);
    pages += smbios::BuildSystemPage(*smbios);
    pages += smbios::BuildBoardPage(*smbios);
    pages += smbios::BuildProcessorPage(*smbios);
    smbios::AppendMemoryPage(*smbios, &pages);
    // The lookups the walk uses, at offsets the input chooses.
    // 0 .. 64260: reaches past the buffer's end too.
    if (smbios->m_dwTableLength >= 3) {
        const std::uint32_t offset = smbios->m_table[0] * 252u + smbios->m_table[1];
        (void)smbios->StringSetLength(offset);
        (void)smbios->GetString(offset, smbios->m_table[2]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());

    // As a table, with version 2.4 or 3.0 chosen by the first byte (the processor page's
    // version test), and as the version bytes themselves.
    platform::RawSmbios asTable;
    asTable.bReached = true;
    asTable.major = static_cast<std::uint8_t>(size > 0 && data[0] & 1 ? 2 : 3);
    asTable.minor = 4;
    asTable.table = copy;
    BuildPages(std::move(asTable));

    // As an entry point, with the input again as the table.
    BuildPages(platform::FromEntryPoint(copy, copy));

    // As a dump file.
    std::string err;
    if (auto tables = platform::SplitDumpFile(bytes, &err)) BuildPages(std::move(*tables));
    return 0;
}
