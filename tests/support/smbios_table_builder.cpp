#include "tests/support/smbios_table_builder.h"

namespace smbios {

CFormatted::CFormatted(std::uint8_t type, std::uint8_t length) : m_bytes(length, 0) {
    Byte(0, type);
    Byte(1, length);
}

CFormatted& CFormatted::Byte(std::size_t off, std::uint8_t value) {
    if (off < m_bytes.size()) m_bytes[off] = value;
    return *this;
}

CFormatted& CFormatted::Word(std::size_t off, std::uint16_t value) {
    Byte(off, static_cast<std::uint8_t>(value));
    return Byte(off + 1, static_cast<std::uint8_t>(value >> 8));
}

CFormatted& CFormatted::Dword(std::size_t off, std::uint32_t value) {
    Word(off, static_cast<std::uint16_t>(value));
    return Word(off + 2, static_cast<std::uint16_t>(value >> 16));
}

CFormatted& CFormatted::Bytes(std::size_t off, std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t v : values) Byte(off++, v);
    return *this;
}

SmbiosTableBuilder& SmbiosTableBuilder::Add(const CFormatted& formatted,
                                            std::initializer_list<std::string_view> strings) {
    std::vector<std::string> copies(strings.begin(), strings.end());
    return Add(formatted, copies);
}

SmbiosTableBuilder& SmbiosTableBuilder::Add(const CFormatted& formatted,
                                            const std::vector<std::string>& strings) {
    std::vector<std::uint8_t> bytes = formatted.Data();
    if (bytes.size() >= 4) {
        bytes[2] = static_cast<std::uint8_t>(m_wNextHandle);
        bytes[3] = static_cast<std::uint8_t>(m_wNextHandle >> 8);
    }
    ++m_wNextHandle;
    m_table.insert(m_table.end(), bytes.begin(), bytes.end());
    for (const std::string& s : strings) {
        m_table.insert(m_table.end(), s.begin(), s.end());
        m_table.push_back(0);
    }
    if (strings.empty()) m_table.push_back(0);
    m_table.push_back(0);
    return *this;
}

SmbiosTableBuilder& SmbiosTableBuilder::AddRaw(std::initializer_list<std::uint8_t> bytes) {
    m_table.insert(m_table.end(), bytes.begin(), bytes.end());
    return *this;
}

SmbiosTableBuilder& SmbiosTableBuilder::AddRaw(const std::vector<std::uint8_t>& bytes) {
    m_table.insert(m_table.end(), bytes.begin(), bytes.end());
    return *this;
}

SmbiosTableBuilder& SmbiosTableBuilder::Version(std::uint8_t major, std::uint8_t minor) {
    m_byMajor = major;
    m_byMinor = minor;
    return *this;
}

std::vector<std::uint8_t> SmbiosTableBuilder::EntryPoint() const {
    std::vector<std::uint8_t> ep = {'_',  'S',       'M',       '3', '_', 0,
                                    0x18, m_byMajor, m_byMinor, 0,   1,   0};
    const auto size = static_cast<std::uint32_t>(m_table.size());
    for (int i = 0; i < 4; ++i) ep.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    ep.push_back(0x20);
    ep.resize(0x18, 0);
    std::uint8_t sum = 0;
    for (std::uint8_t b : ep) sum = static_cast<std::uint8_t>(sum + b);
    ep[5] = static_cast<std::uint8_t>(0x100 - sum);
    return ep;
}

platform::RawSmbios SmbiosTableBuilder::Tables() const {
    platform::RawSmbios tables;
    tables.bReached = true;
    tables.major = m_byMajor;
    tables.minor = m_byMinor;
    tables.table = m_table;
    return tables;
}

}  // namespace smbios
