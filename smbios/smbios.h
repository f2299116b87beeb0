// CSMBios: the firmware's SMBIOS inventory, fetched and decoded once, at construction, into
// finished page texts (GBK page text; SMBIOS strings are copied byte for byte).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/notifier.h"
#include "platform/smbios_source.h"

// One populated memory module, as the memory page shows it.
struct MemoryDeviceText {
    std::string strManufacturer;
    std::string strSize;   // megabytes, decimal
    std::string strType;   // name from the memory type table
    std::string strSpeed;  // MHz, decimal
    std::string strSerialNumber;
    std::string strPartNumber;
};

class CSMBios {
public:
    static constexpr std::uint32_t kMaxTableBytes = 64000;

    // Fetches the tables from `source` and decodes them. Tells the user through `notify`
    // when the table is too large to hold.
    CSMBios(platform::ISmbiosSource& source, const platform::Notifier& notify);

    // Fills m_table and the table version from the source. False when the tables could not be
    // reached at all, or the table is too large (after telling the user); true otherwise, also
    // when the source had no version or no table to copy (what it had is kept).
    bool FetchRawTable(platform::ISmbiosSource& source, const platform::Notifier& notify);
    // Walks m_table once and fills every text below. Stops at a structure whose Length
    // cannot hold its header, or whose formatted area or string set does not end inside
    // the table's m_dwTableLength bytes; a field beyond its structure's Length gives an
    // empty text. Nothing behind the table is ever read.
    void DecodeTable();

    // m_dwTableLength, never more than the buffer holds. Every lookup below stays inside
    // the table's first TableBytes() bytes.
    std::uint32_t TableBytes() const;
    // Length byte of the structure at `offset` (0 when its header lies outside the table).
    std::uint8_t FormattedLength(std::uint32_t offset) const;
    // Bytes of the string set behind the formatted area of the structure at `offset`, both
    // terminating zeros included; 0 when the formatted area or the set does not end inside
    // the table.
    std::uint32_t StringSetLength(std::uint32_t offset) const;
    // String number `n` (from 1) of the structure at `offset`, whole, however many strings
    // the set holds; "" for 0 or a number past the set.
    std::string GetString(std::uint32_t offset, std::uint8_t n) const;

    std::uint8_t m_byMinorVersion = 0;
    std::uint8_t m_byMajorVersion = 0;
    int m_nMemoryCount = 0;
    std::string m_strBatteryDate;
    std::string m_strBatteryDesignVoltage;
    std::vector<MemoryDeviceText> m_memory;  // m_nMemoryCount records, table order
    std::string m_strL3Cache;
    std::string m_strL2Cache;
    std::string m_strL1Cache;
    std::string m_strCpuThreads;
    std::string m_strCpuCores;
    std::string m_strCpuMaxSpeed;
    std::string m_strCpuExternalClock;
    std::string m_strCpuVersion;
    std::string m_strCpuManufacturer;
    std::string m_strBoardSerial;
    std::string m_strBoardVersion;
    std::string m_strBoardProduct;
    std::string m_strBoardManufacturer;
    std::string m_strSystemFamily;
    std::string m_strSystemSku;
    std::string m_strSystemSerial;
    std::string m_strSystemUuid;
    std::string m_strSystemVersion;
    std::string m_strSystemProduct;
    std::string m_strSystemManufacturer;
    std::string m_strBiosRomSize;
    std::string m_strBiosDate;
    std::string m_strBiosVersion;
    std::string m_strBiosVendor;
    std::uint8_t m_byTableMajor = 0;
    std::uint8_t m_byTableMinor = 0;
    std::uint32_t m_dwTableLength = 0;
    // The table in its first m_dwTableLength bytes; what lies behind them is unspecified and
    // never read.
    std::array<std::uint8_t, kMaxTableBytes> m_table;
};
