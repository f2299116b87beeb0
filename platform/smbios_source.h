// Where the firmware's SMBIOS tables come from: the entry point structure and the structure
// table, as Linux exposes them in /sys/firmware/dmi/tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct SmbiosTables {
    // nullopt: that part could not be read (missing, no permission).
    std::optional<std::vector<std::uint8_t>> entryPoint;
    std::optional<std::vector<std::uint8_t>> table;
};

class ISmbiosSource {
public:
    virtual ~ISmbiosSource() = default;
    // Reads both parts once. Never fails as a whole: each part is there or not.
    [[nodiscard]] virtual SmbiosTables ReadTables() = 0;
};

// The tables in a folder shaped like /sys/firmware/dmi/tables (files smbios_entry_point
// and DMI).
class CSysfsSmbiosSource final : public ISmbiosSource {
public:
    static constexpr const char* kDefaultDir = "/sys/firmware/dmi/tables";
    explicit CSysfsSmbiosSource(std::string dir = kDefaultDir);
    SmbiosTables ReadTables() override;

private:
    std::string m_strDir;
};

// Tables already in memory: a saved dump, or a test's own bytes. Counts the reads.
class CFixedSmbiosSource final : public ISmbiosSource {
public:
    explicit CFixedSmbiosSource(SmbiosTables tables) : m_tables(std::move(tables)) {}
    SmbiosTables ReadTables() override {
        ++m_nReads;
        return m_tables;
    }
    int Reads() const { return m_nReads; }

private:
    SmbiosTables m_tables;
    int m_nReads = 0;
};

}  // namespace platform
