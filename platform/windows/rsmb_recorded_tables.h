// Firmware table replies for tests: RawSMBIOSData built byte by byte, and a firmware table
// call that answers a recorded reply and records what it was asked.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/windows/rsmb_table.h"

namespace platform::testing {

// RawSMBIOSData: Used20CallingMethod 0, the versions, DmiRevision 0, `length` (little-endian),
// then `table`. `length` is the header's word and need not be the table's size.
inline std::vector<std::uint8_t> EncodeRawSmbiosData(std::uint8_t major, std::uint8_t minor,
                                                     std::uint32_t length,
                                                     const std::vector<std::uint8_t>& table) {
    std::vector<std::uint8_t> reply = {0,
                                       major,
                                       minor,
                                       0,
                                       static_cast<std::uint8_t>(length),
                                       static_cast<std::uint8_t>(length >> 8),
                                       static_cast<std::uint8_t>(length >> 16),
                                       static_cast<std::uint8_t>(length >> 24)};
    reply.insert(reply.end(), table.begin(), table.end());
    return reply;
}

inline std::vector<std::uint8_t> EncodeRawSmbiosData(std::uint8_t major, std::uint8_t minor,
                                                     const std::vector<std::uint8_t>& table) {
    return EncodeRawSmbiosData(major, minor, static_cast<std::uint32_t>(table.size()), table);
}

class CRecordedFirmwareTables final : public IFirmwareTables {
public:
    // nullopt: the call fails.
    explicit CRecordedFirmwareTables(std::optional<std::vector<std::uint8_t>> reply,
                                     std::vector<std::pair<std::uint32_t, std::uint32_t>>* asked)
        : m_reply(std::move(reply)), m_pAsked(asked) {}

    std::optional<std::vector<std::uint8_t>> Read(std::uint32_t provider,
                                                  std::uint32_t id) override {
        if (m_pAsked != nullptr) m_pAsked->emplace_back(provider, id);
        return m_reply;
    }

private:
    std::optional<std::vector<std::uint8_t>> m_reply;
    std::vector<std::pair<std::uint32_t, std::uint32_t>>* m_pAsked;
};

}  // namespace platform::testing
