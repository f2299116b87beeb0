// The firmware's SMBIOS table as GetSystemFirmwareTable('RSMB', 0, ...) returns it: a
// RawSMBIOSData header, then the structure table. The reply is read by a pure function over
// its bytes, so it is tested with recorded replies on every system; the one system call sits
// behind IFirmwareTables (rsmb_table_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/smbios_source.h"

namespace platform {

// The raw SMBIOS provider's signature as the call takes it: 'RSMB', 'R' in the top byte.
inline constexpr std::uint32_t kRsmbProvider = 0x52534D42;
// RawSMBIOSData before the table:
//   0x00 Used20CallingMethod  0x01 SMBIOSMajorVersion  0x02 SMBIOSMinorVersion
//   0x03 DmiRevision          0x04 Length (32-bit, little-endian), the table's byte count
inline constexpr std::size_t kRawSmbiosHeaderBytes = 8;
// The largest reply asked for. Tables of 64000 bytes or more are refused by the decoder in
// any case; past this size the call counts as failed rather than allocating for it.
inline constexpr std::size_t kMaxRsmbReplyBytes = 16u << 20;

// The version and table of one reply: bReached, both versions and the table's Length bytes
// (cut to kWmiMaxHandedUpBytes, as WMI's are). nullopt when the reply is shorter than the
// header, or than the header and the Length it gives; bytes behind the table are not read.
[[nodiscard]] std::optional<RawSmbios> ParseRawSmbiosData(std::span<const std::uint8_t> reply);

// The firmware table call. Abstract so that tests can answer recorded replies.
class IFirmwareTables {
public:
    virtual ~IFirmwareTables() = default;
    // Every byte of the table `id` of `provider`; nullopt when the call fails or the table
    // is larger than kMaxRsmbReplyBytes.
    [[nodiscard]] virtual std::optional<std::vector<std::uint8_t>> Read(std::uint32_t provider,
                                                                        std::uint32_t id) = 0;
};

// The SMBIOS table of provider RSMB, table 0, read through `tables` on each ReadTables. A
// failed call or a malformed reply is a source that could not be reached (bReached false).
std::unique_ptr<ISmbiosSource> MakeRsmbSmbiosSource(std::unique_ptr<IFirmwareTables> tables);

// GetSystemFirmwareTable (Windows build only).
std::unique_ptr<IFirmwareTables> MakeWin32FirmwareTables();

}  // namespace platform
