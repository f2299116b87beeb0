// Where the firmware's SMBIOS structure table comes from. Every system hands up the same
// three things: the table's version, the structure bytes, and how far the fetch got.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// One fetch, in the order the system answers it: the connection to the firmware's tables,
// then the major version, the minor version and the structure bytes. A part is there only
// when every part before it is.
struct RawSmbios {
    // False: the tables could not be reached at all (no connection to the provider, no
    // permission to the files). Nothing else is set then.
    bool bReached = false;
    // The table's SMBIOS version; nullopt when the provider gave no instance or no version.
    std::optional<std::uint8_t> major;
    std::optional<std::uint8_t> minor;
    // The structures, without any entry point structure. nullopt when the provider had no
    // data, or data of another kind. A table too large for the decoder may be handed up cut
    // to any length of at least that limit; the decoder refuses it as too large.
    std::optional<std::vector<std::uint8_t>> table;
};

class ISmbiosSource {
public:
    virtual ~ISmbiosSource() = default;
    // Fetches once. Never throws; what could not be had is missing from the result.
    [[nodiscard]] virtual RawSmbios ReadTables() = 0;
};

// Tables already in memory: a saved dump, or a test's own bytes. Counts the reads.
class CFixedSmbiosSource final : public ISmbiosSource {
public:
    explicit CFixedSmbiosSource(RawSmbios tables) : m_tables(std::move(tables)) {}
    RawSmbios ReadTables() override {
        ++m_nReads;
        return m_tables;
    }
    int Reads() const { return m_nReads; }

private:
    RawSmbios m_tables;
    int m_nReads = 0;
};

}  // namespace platform
