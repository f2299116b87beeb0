#include "platform/windows/rsmb_table.h"

#include <algorithm>
#include <utility>

#include "base/little_endian.h"
#include "platform/windows/wmi_smbios_query.h"

namespace platform {
namespace {

class CRsmbSmbiosSource final : public ISmbiosSource {
public:
    explicit CRsmbSmbiosSource(std::unique_ptr<IFirmwareTables> tables)
        : m_tables(std::move(tables)) {}

    RawSmbios ReadTables() override {
        const auto reply = m_tables->Read(kRsmbProvider, 0);
        if (!reply) return {};
        return ParseRawSmbiosData(*reply).value_or(RawSmbios{});
    }

private:
    std::unique_ptr<IFirmwareTables> m_tables;
};

}  // namespace

std::optional<RawSmbios> ParseRawSmbiosData(std::span<const std::uint8_t> reply) {
    if (reply.size() < kRawSmbiosHeaderBytes) return std::nullopt;
    const std::uint32_t length = base::LoadLe32(reply, 4);
    // Compared against what follows the header, so a Length near 2^32 cannot wrap around.
    if (reply.size() - kRawSmbiosHeaderBytes < length) return std::nullopt;
    const auto table =
        reply.subspan(kRawSmbiosHeaderBytes, std::min<std::size_t>(length, kWmiMaxHandedUpBytes));
    RawSmbios raw;
    raw.bReached = true;
    raw.major = reply[1];
    raw.minor = reply[2];
    raw.table.emplace(table.begin(), table.end());
    return raw;
}

std::unique_ptr<ISmbiosSource> MakeRsmbSmbiosSource(std::unique_ptr<IFirmwareTables> tables) {
    return std::make_unique<CRsmbSmbiosSource>(std::move(tables));
}

}  // namespace platform
