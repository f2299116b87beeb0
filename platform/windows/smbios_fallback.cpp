#include "platform/windows/smbios_fallback.h"

#include <utility>

#include "platform/windows/wmi_smbios_query.h"

namespace platform {
namespace {

class CFallbackSmbiosSource final : public ISmbiosSource {
public:
    CFallbackSmbiosSource(std::unique_ptr<ISmbiosSource> first,
                          std::unique_ptr<ISmbiosSource> second)
        : m_first(std::move(first)), m_second(std::move(second)) {}

    RawSmbios ReadTables() override { return ReadWithFallback(*m_first, *m_second); }

private:
    std::unique_ptr<ISmbiosSource> m_first;
    std::unique_ptr<ISmbiosSource> m_second;
};

}  // namespace

bool HasUsableTable(const RawSmbios& raw) {
    return raw.bReached && raw.major && raw.minor && raw.table && !raw.table->empty() &&
           raw.table->size() < kWmiMaxHandedUpBytes;
}

RawSmbios ReadWithFallback(ISmbiosSource& first, ISmbiosSource& second) {
    RawSmbios fromFirst = first.ReadTables();
    if (HasUsableTable(fromFirst)) return fromFirst;
    RawSmbios fromSecond = second.ReadTables();
    if (HasUsableTable(fromSecond)) return fromSecond;
    const auto hasTable = [](const RawSmbios& raw) { return raw.table && !raw.table->empty(); };
    if (hasTable(fromSecond) && !hasTable(fromFirst)) return fromSecond;
    return fromFirst;
}

std::unique_ptr<ISmbiosSource> MakeFallbackSmbiosSource(std::unique_ptr<ISmbiosSource> first,
                                                        std::unique_ptr<ISmbiosSource> second) {
    return std::make_unique<CFallbackSmbiosSource>(std::move(first), std::move(second));
}

}  // namespace platform
