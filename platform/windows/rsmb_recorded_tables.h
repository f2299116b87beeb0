// Firmware table replies for tests: RawSMBIOSData built byte by byte, and a firmware table
// call that answers one recorded reply and keeps what it was asked.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/windows/rsmb_table.h"

namespace platform::testing {

// Used20CallingMethod 0, the versions, DmiRevision 0, the 32-bit Length (the table's size
// unless `length` says otherwise), then `table`.
inline std::vector<std::uint8_t> EncodeRawSmbiosData(
    std::uint8_t major, std::uint8_t minor, const std::vector<std::uint8_t>& table,
    std::optional<std::uint32_t> length = std::nullopt) {
    const std::uint32_t n = length.value_or(static_cast<std::uint32_t>(table.size()));
    std::vector<std::uint8_t> reply = {0, major, minor, 0};
    for (int shift = 0; shift < 32; shift += 8)
        reply.push_back(static_cast<std::uint8_t>(n >> shift));
    reply.insert(reply.end(), table.begin(), table.end());
    return reply;
}

class CRecordedFirmwareTables final : public IFirmwareTables {
public:
    using Asked = std::vector<std::pair<std::uint32_t, std::uint32_t>>;
    // `reply` nullopt: the call fails. Each (provider, id) asked is added to `*asked`.
    CRecordedFirmwareTables(std::optional<std::vector<std::uint8_t>> reply, Asked* asked)
        : m_reply(std::move(reply)), m_pAsked(asked) {}
    std::optional<std::vector<std::uint8_t>> Read(std::uint32_t provider,
                                                  std::uint32_t id) override {
        m_pAsked->emplace_back(provider, id);
        return m_reply;
    }

private:
    std::optional<std::vector<std::uint8_t>> m_reply;
    Asked* m_pAsked;
};

}  // namespace platform::testing
