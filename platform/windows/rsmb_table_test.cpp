// The firmware table reply (RawSMBIOSData) read from recorded bytes, and the source that asks
// for it.
#include "platform/windows/rsmb_table.h"

#include <gtest/gtest.h>

#include "platform/windows/rsmb_recorded_tables.h"
#include "platform/windows/wmi_smbios_query.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::testing::EncodeRawSmbiosData;

// A BIOS structure (type 0, 0x12 bytes, handle 0) with its vendor string, then the end
// structure (type 127): the smallest table a decoder walks.
const Bytes kTable = {
    /* 0x00 */ 0x00, 0x12, 0x00, 0x00, 0x01, 0x00, 0x00, 0xF0, 0x00, 0x00, 0x00, 0x00,
    /* 0x0C */ 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 'V',  'e',  'n',  'd',  'o',  'r',
    /* 0x18 */ 0x00, 0x00, 0x7F, 0x04, 0x01, 0x00, 0x00, 0x00,
};

Bytes Counting(std::size_t n) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + 5);
    return bytes;
}

TEST(ParseRawSmbiosData, TakesTheTableItsLengthGivesAndRefusesAShortReply) {
    struct Row {
        const char* what;
        Bytes reply;
        std::optional<Bytes> table;  // nullopt: the reply is refused
    };
    Bytes trailing = EncodeRawSmbiosData(3, 4, kTable);
    trailing.insert(trailing.end(), {0xAA, 0xBB, 0xCC});
    const std::uint32_t size = static_cast<std::uint32_t>(kTable.size());
    const std::vector<Row> rows = {
        {"header and table", EncodeRawSmbiosData(3, 4, kTable), kTable},
        {"bytes behind the table are not taken", trailing, kTable},
        {"Length 0: an empty table", EncodeRawSmbiosData(3, 4, 0, {}), Bytes{}},
        {"Length shorter than the bytes", EncodeRawSmbiosData(3, 4, 0x12, kTable),
         Bytes(kTable.begin(), kTable.begin() + 0x12)},
        {"no bytes", Bytes{}, std::nullopt},
        {"header cut short", Bytes{0, 3, 4, 0, 0, 0, 0}, std::nullopt},
        {"Length one past the reply", EncodeRawSmbiosData(3, 4, size + 1, kTable), std::nullopt},
        {"Length near 2^32", EncodeRawSmbiosData(3, 4, 0xFFFFFFF9, kTable), std::nullopt},
        {"table too large for the decoder: cut to its limit",
         EncodeRawSmbiosData(3, 4, Counting(70000)), Counting(platform::kWmiMaxHandedUpBytes)},
    };
    for (const Row& row : rows) {
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

TEST(RsmbSmbiosSource, AsksForTableZeroOfRsmbAndIsUnreachedWithoutAWholeReply) {
    const struct {
        const char* what;
        std::optional<Bytes> reply;
        bool bReached;
    } rows[] = {
        {"answered", EncodeRawSmbiosData(2, 8, kTable), true},
        {"the call fails", std::nullopt, false},
        {"a reply cut short", Bytes{0, 2, 8, 0, 0x20, 0, 0, 0, 0x00, 0x12}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> asked;
        const auto source = platform::MakeRsmbSmbiosSource(
            std::make_unique<platform::testing::CRecordedFirmwareTables>(row.reply, &asked));
        const platform::RawSmbios raw = source->ReadTables();
        EXPECT_EQ(raw.bReached, row.bReached);
        EXPECT_EQ(raw.table.has_value(), row.bReached);
        EXPECT_EQ(raw.major.has_value(), row.bReached);
        // 'RSMB': the letters R, S, M, B from the top byte down.
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].first, 0x52534D42u);
        EXPECT_EQ(asked[0].second, 0u);
    }
}

}  // namespace
