// WMI first, then the firmware table call: which answer the decoder gets, with WMI's answers
// as the fetch hands them up and the firmware table's as recorded replies.
#include "platform/windows/smbios_fallback.h"

#include <gtest/gtest.h>

#include "platform/windows/rsmb_recorded_tables.h"
#include "platform/windows/rsmb_table.h"
#include "platform/windows/wmi_smbios_query.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::RawSmbios;
using platform::testing::EncodeRawSmbiosData;

RawSmbios Wmi(bool bReached, std::optional<std::uint8_t> major, std::optional<std::uint8_t> minor,
              std::optional<Bytes> table) {
    RawSmbios raw;
    raw.bReached = bReached;
    raw.major = major;
    raw.minor = minor;
    raw.table = std::move(table);
    return raw;
}

TEST(ReadWithFallback, TheFirmwareTableStandsInWhenWmiHasNoUsableTable) {
    const Bytes wmiTable(40, 0x11);
    const Bytes rsmbTable(60, 0x22);
    const Bytes tooLarge(platform::kWmiMaxHandedUpBytes, 0x33);
    enum class Taken { Wmi, Rsmb };
    struct Row {
        const char* what;
        RawSmbios wmi;
        std::optional<Bytes> rsmbReply;  // nullopt: GetSystemFirmwareTable fails
        Taken taken;
        bool bRsmbAsked;
    };
    const RawSmbios unreached;
    const std::vector<Row> rows = {
        {"WMI answers: the firmware table is never asked", Wmi(true, 3, 4, wmiTable),
         EncodeRawSmbiosData(2, 8, rsmbTable), Taken::Wmi, false},
        {"WMI fails (no service, or no answer in time), RSMB answers", unreached,
         EncodeRawSmbiosData(2, 8, rsmbTable), Taken::Rsmb, true},
        {"WMI without an instance", Wmi(true, {}, {}, {}), EncodeRawSmbiosData(2, 8, rsmbTable),
         Taken::Rsmb, true},
        {"WMI versions without data", Wmi(true, 3, 4, {}), EncodeRawSmbiosData(2, 8, rsmbTable),
         Taken::Rsmb, true},
        {"WMI data of no bytes", Wmi(true, 3, 4, Bytes{}), EncodeRawSmbiosData(2, 8, rsmbTable),
         Taken::Rsmb, true},
        {"WMI table too large, RSMB answers", Wmi(true, 3, 4, tooLarge),
         EncodeRawSmbiosData(2, 8, rsmbTable), Taken::Rsmb, true},
        // Both fail: WMI's own failure row stands (unreached, versions only, too large).
        {"both fail to answer", unreached, std::nullopt, Taken::Wmi, true},
        {"WMI versions only, RSMB reply cut short", Wmi(true, 3, 4, {}),
         Bytes{0, 2, 8, 0, 0x40, 0, 0, 0}, Taken::Wmi, true},
        {"WMI table too large, RSMB fails", Wmi(true, 3, 4, tooLarge), std::nullopt, Taken::Wmi,
         true},
        {"WMI and RSMB tables both too large: one message", Wmi(true, 3, 4, tooLarge),
         EncodeRawSmbiosData(2, 8, tooLarge), Taken::Wmi, true},
        {"WMI fails, RSMB table too large", unreached, EncodeRawSmbiosData(2, 8, tooLarge),
         Taken::Rsmb, true},
        {"WMI fails, RSMB table empty", unreached, EncodeRawSmbiosData(2, 8, Bytes{}), Taken::Wmi,
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        platform::CFixedSmbiosSource wmi(row.wmi);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> asked;
        const auto rsmb = platform::MakeRsmbSmbiosSource(
            std::make_unique<platform::testing::CRecordedFirmwareTables>(row.rsmbReply, &asked));
        const RawSmbios raw = platform::ReadWithFallback(wmi, *rsmb);
        EXPECT_EQ(wmi.Reads(), 1);
        EXPECT_EQ(asked.size(), row.bRsmbAsked ? 1u : 0u);
        if (row.taken == Taken::Wmi) {
            EXPECT_EQ(raw.bReached, row.wmi.bReached);
            EXPECT_EQ(raw.major, row.wmi.major);
            EXPECT_EQ(raw.minor, row.wmi.minor);
            EXPECT_EQ(raw.table, row.wmi.table);
        } else {
            const auto reply = platform::ParseRawSmbiosData(*row.rsmbReply);
            ASSERT_TRUE(reply);
            EXPECT_TRUE(raw.bReached);
            EXPECT_EQ(raw.major, 2);
            EXPECT_EQ(raw.minor, 8);
            EXPECT_EQ(raw.table, reply->table);
        }
    }
}

}  // namespace
