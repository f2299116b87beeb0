// Test and benchmark helper: SMBIOS structure tables built byte by byte, with the entry
// point that announces their version.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/smbios_source.h"

namespace smbios {

// The formatted area of one structure, header included, zero-filled to `length` bytes.
// Setters write little-endian fields at offsets from the structure's start; an offset at
// or past `length` grows nothing and is ignored, so a test can shorten a structure and keep
// its field list.
class CFormatted {
public:
    CFormatted(std::uint8_t type, std::uint8_t length);
    CFormatted& Byte(std::size_t off, std::uint8_t value);
    CFormatted& Word(std::size_t off, std::uint16_t value);
    CFormatted& Dword(std::size_t off, std::uint32_t value);
    CFormatted& Bytes(std::size_t off, std::initializer_list<std::uint8_t> values);
    const std::vector<std::uint8_t>& Data() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

class SmbiosTableBuilder {
public:
    // Appends the structure and its string set: each string and its NUL, then one more
    // NUL; with no strings, the two NULs of an empty set. Handles count up from 0.
    SmbiosTableBuilder& Add(const CFormatted& formatted,
                            std::initializer_list<std::string_view> strings = {});
    SmbiosTableBuilder& Add(const CFormatted& formatted, const std::vector<std::string>& strings);
    // Appends bytes as they are (broken structures, a set without terminator).
    SmbiosTableBuilder& AddRaw(std::initializer_list<std::uint8_t> bytes);
    SmbiosTableBuilder& AddRaw(const std::vector<std::uint8_t>& bytes);
    SmbiosTableBuilder& Version(std::uint8_t major, std::uint8_t minor);

    const std::vector<std::uint8_t>& Table() const { return m_table; }
    std::vector<std::uint8_t>& MutableTable() { return m_table; }
    std::size_t Size() const { return m_table.size(); }
    // A 24-byte "_SM3_" entry point with the version, the table size and address 0x20.
    std::vector<std::uint8_t> EntryPoint() const;
    // What a source hands up for this table: reached, its version and its bytes.
    platform::RawSmbios Tables() const;

private:
    std::vector<std::uint8_t> m_table;
    std::uint8_t m_byMajor = 3;
    std::uint8_t m_byMinor = 0;
    std::uint16_t m_wNextHandle = 0;
};

}  // namespace smbios
