// WMI first, then the firmware table call: which answer the decoder gets, with WMI's answers
// as its fetch hands them up and the firmware table's as recorded replies.
#include "platform/windows/smbios_fallback.h"

#include <gtest/gtest.h>

#include "platform/windows/rsmb_recorded_tables.h"
#include "platform/windows/wmi_smbios_query.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::RawSmbios;
using platform::testing::EncodeRawSmbiosData;

RawSmbios Wmi(std::optional<std::uint8_t> major, std::optional<Bytes> table) {
    return {.bReached = true, .major = major, .minor = major, .table = std::move(table)};
}

TEST(ReadWithFallback, TheFirmwareTableStandsInWhenWmiHasNoUsableTable) {
    const Bytes wmiTable(40, 0x11);
    const Bytes rsmbTable(60, 0x22);
    const Bytes tooLarge(platform::kWmiMaxHandedUpBytes, 0x33);
    const RawSmbios unreached;  // no connection, or no answer within the time limit
    const Bytes rsmb = EncodeRawSmbiosData(2, 8, rsmbTable);
    const struct {
        const char* what;
        RawSmbios wmi;
        std::optional<Bytes> rsmbReply;  // nullopt: GetSystemFirmwareTable fails
        bool bRsmbTaken;
    } rows[] = {
        {"WMI answers", Wmi(3, wmiTable), rsmb, false},
        {"WMI fails, RSMB answers", unreached, rsmb, true},
        {"WMI without an instance (Wine)", Wmi({}, {}), rsmb, true},
        {"WMI versions without data", Wmi(3, {}), rsmb, true},
        {"WMI data of no bytes", Wmi(3, Bytes{}), rsmb, true},
        {"WMI table too large, RSMB answers", Wmi(3, tooLarge), rsmb, true},
        // Both fail: WMI's own failure row stands, its message shown once at most.
        {"both fail", unreached, std::nullopt, false},
        {"WMI versions only, RSMB cut short", Wmi(3, {}), Bytes{0, 2, 8, 0, 0x40, 0, 0, 0}, false},
        {"WMI table too large, RSMB fails", Wmi(3, tooLarge), std::nullopt, false},
        {"both too large", Wmi(3, tooLarge), EncodeRawSmbiosData(2, 8, tooLarge), false},
        {"WMI fails, RSMB too large", unreached, EncodeRawSmbiosData(2, 8, tooLarge), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        platform::CFixedSmbiosSource wmi(row.wmi);
        platform::testing::CRecordedFirmwareTables::Asked asked;
        const auto rsmbSource = platform::MakeRsmbSmbiosSource(
            std::make_unique<platform::testing::CRecordedFirmwareTables>(row.rsmbReply, &asked));
        const RawSmbios raw = platform::ReadWithFallback(wmi, *rsmbSource);
        const RawSmbios expected =
            row.bRsmbTaken ? *platform::ParseRawSmbiosData(*row.rsmbReply) : row.wmi;
        EXPECT_EQ(raw.bReached, expected.bReached);
        EXPECT_EQ(raw.major, expected.major);
        EXPECT_EQ(raw.minor, expected.minor);
        EXPECT_EQ(raw.table, expected.table);
        // The firmware table is asked (provider 'RSMB', table 0) only when WMI had no table.
        using Asked = platform::testing::CRecordedFirmwareTables::Asked;
        const Asked rsmbTableZero = {{0x52534D42u, 0u}};
        EXPECT_EQ(asked, &row == &rows[0] ? Asked{} : rsmbTableZero);
    }
}

}  // namespace
