// The firmware table reply (RawSMBIOSData), read from recorded bytes.
#include "platform/windows/rsmb_table.h"

#include <gtest/gtest.h>

#include "platform/windows/rsmb_recorded_tables.h"
#include "platform/windows/wmi_smbios_query.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::testing::EncodeRawSmbiosData;

Bytes Counting(std::size_t n) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return bytes;
}

TEST(ParseRawSmbiosData, TakesTheTableItsLengthGivesAndRefusesAShortReply) {
    const Bytes table = Counting(40);
    Bytes trailing = EncodeRawSmbiosData(3, 4, table);
    trailing.insert(trailing.end(), {0xAA, 0xBB, 0xCC});
    const struct {
        const char* what;
        Bytes reply;
        std::optional<Bytes> table;  // nullopt: the reply is refused
    } rows[] = {
        {"header and table", EncodeRawSmbiosData(3, 4, table), table},
        {"bytes behind the table are not taken", trailing, table},
        {"Length 0: an empty table", EncodeRawSmbiosData(3, 4, {}), Bytes{}},
        {"Length short of the bytes", EncodeRawSmbiosData(3, 4, table, 18), Counting(18)},
        {"no bytes", Bytes{}, std::nullopt},
        {"header cut short", Bytes{0, 3, 4, 0, 0, 0, 0}, std::nullopt},
        {"Length one past the reply", EncodeRawSmbiosData(3, 4, table, 41), std::nullopt},
        {"Length near 2^32", EncodeRawSmbiosData(3, 4, table, 0xFFFFFFF9), std::nullopt},
        {"too large for the decoder: cut to its limit", EncodeRawSmbiosData(3, 4, Counting(70000)),
         Counting(platform::kWmiMaxHandedUpBytes)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const auto raw = platform::ParseRawSmbiosData(row.reply);
        ASSERT_EQ(raw.has_value(), row.table.has_value());
        if (!raw) continue;
        EXPECT_TRUE(raw->bReached);
        EXPECT_EQ(raw->major, 3);
        EXPECT_EQ(raw->minor, 4);
        EXPECT_EQ(raw->table, row.table);
    }
}

}  // namespace
