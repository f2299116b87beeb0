// CBatteryInfo over CWindowsBatterySystem, with a driver that answers recorded bytes.
#include "platform/windows/windows_battery_system.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include "battery/battery_info.h"
#include "platform/windows/battery_recorded_calls.h"
#include "text/gbk.h"

namespace {

namespace ioctl = platform::battery_ioctl;
using ioctl::InformationLevel;
using platform::CWindowsBatterySystem;
using platform::testing::CRecordedBatteryCalls;
using platform::testing::EncodeInformation;
using platform::testing::EncodeLe32;
using platform::testing::EncodeStatus;
using platform::testing::EncodeSystemPowerStatus;
using platform::testing::EncodeText;
using platform::testing::FillBattery;
using platform::testing::RecordedReply;
using Bytes = std::vector<std::uint8_t>;

// The driver, and CBatteryInfo read through it. The driver outlives the reader's device.
struct Reading {
    CRecordedBatteryCalls* calls = nullptr;  // owned by system
    std::unique_ptr<CWindowsBatterySystem> system;
    std::unique_ptr<CBatteryInfo> info;
};

Reading Read(const std::function<void(CRecordedBatteryCalls&)>& setUp) {
    auto calls = std::make_unique<CRecordedBatteryCalls>();
    FillBattery(*calls);
    setUp(*calls);
    Reading reading;
    reading.calls = calls.get();
    reading.system = std::make_unique<CWindowsBatterySystem>(std::move(calls));
    reading.info = std::make_unique<CBatteryInfo>(*reading.system);
    return reading;
}

std::vector<std::string> AllTexts(const CBatteryInfo& b) {
    return {b.m_strTemperature,    b.m_strCycleCount,   b.m_strWear,         b.m_strChemistry,
            b.m_strDeviceName,     b.m_strUniqueId,     b.m_strManufacturer, b.m_strSerialNumber,
            b.m_strDesignCapacity, b.m_strFullCapacity, b.m_strVoltage,      b.m_strRemaining};
}

// BATTERY_QUERY_INFORMATION for the recorded tag 0x2A.
Bytes Query(std::uint8_t level) {
    return {0x2A, 0, 0, 0, level, 0, 0, 0, 0, 0, 0, 0};
}

TEST(WindowsBattery, ReadsEveryLevelWithTheDriversRequestsAndHoldsTheDevice) {
    Reading r = Read([](CRecordedBatteryCalls&) {});
    const CBatteryInfo& b = *r.info;
    EXPECT_EQ(b.m_ulTag, 0x2Au);
    EXPECT_EQ(b.m_strVoltage, "12.345000");
    EXPECT_EQ(b.m_strRemaining, "98");
    EXPECT_EQ(b.m_strFullCapacity, "45000");
    EXPECT_EQ(b.m_strDesignCapacity, "50000");
    EXPECT_EQ(b.m_strWear, "9");
    EXPECT_EQ(b.m_strCycleCount, "12");
    EXPECT_EQ(b.m_strChemistry, "LION");
    EXPECT_EQ(b.m_strSerialNumber, " 2958");
    EXPECT_EQ(b.m_strManufacturer, "SMP-ATL4.49");
    EXPECT_EQ(b.m_strUniqueId, " 2958SMP-ATL4.49DELL PN1VN08");
    EXPECT_EQ(b.m_strDeviceName, "DELL PN1VN08");
    EXPECT_EQ(b.m_strTemperature, "2982");

    ASSERT_EQ(r.calls->opened.size(), 1u);
    EXPECT_EQ(r.calls->opened[0], r.calls->path);
    const auto& q = r.calls->requests;
    ASSERT_EQ(q.size(), 9u);
    // Tag, with a wait of 0: answer at once. Asked when the bay is chosen, then by the reader.
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(q[i].code, 0x294040u);
        EXPECT_EQ(q[i].input, (Bytes{0, 0, 0, 0}));
        EXPECT_EQ(q[i].outputBytes, 4u);
    }
    // Status: BATTERY_WAIT_STATUS with the tag and nothing to wait for.
    EXPECT_EQ(q[2].code, 0x29404Cu);
    EXPECT_EQ(q[2].input, (Bytes{0x2A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(q[2].outputBytes, 16u);
    // Information levels 0, 8, 6, 7, 4, 2 into buffers of 36, 200 x 4 and 4 bytes.
    const std::uint8_t levels[] = {0, 8, 6, 7, 4, 2};
    const std::size_t sizes[] = {36, 200, 200, 200, 200, 4};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(q[3 + i].code, 0x294044u) << i;
        EXPECT_EQ(q[3 + i].input, Query(levels[i])) << i;
        EXPECT_EQ(q[3 + i].outputBytes, sizes[i]) << i;
    }

    EXPECT_EQ(r.calls->OpenHandles(), 1);  // held for the reader's life
    r.info.reset();
    EXPECT_EQ(r.calls->OpenHandles(), 0);
}

TEST(WindowsBattery, NoUsableBatteryLeavesEveryTextEmptyAndNoDeviceOpen) {
    const std::vector<std::pair<const char*, std::function<void(CRecordedBatteryCalls&)>>> cases = {
        {"no interface", [](CRecordedBatteryCalls& c) { c.listed.clear(); }},
        {"open fails", [](CRecordedBatteryCalls& c) { c.bOpens = false; }},
        {"tag refused", [](CRecordedBatteryCalls& c) { c.tag.reset(); }},
        {"tag 0",
         [](CRecordedBatteryCalls& c) {
             c.tag = RecordedReply{EncodeLe32(0), {}};
         }},
        {"tag cut short",
         [](CRecordedBatteryCalls& c) {
             c.tag = RecordedReply{Bytes{0x2A, 0, 0}, {}};
         }},
        {"tag count past the buffer", [](CRecordedBatteryCalls& c) { c.tag->returned = 5; }},
        {"status refused", [](CRecordedBatteryCalls& c) { c.status.reset(); }},
        {"status cut short", [](CRecordedBatteryCalls& c) { c.status->bytes.resize(15); }},
        {"status count past the buffer", [](CRecordedBatteryCalls& c) { c.status->returned = 17; }},
        {"status count short of the record",
         [](CRecordedBatteryCalls& c) { c.status->returned = 12; }},
    };
    for (const auto& [why, setUp] : cases) {
        Reading r = Read(setUp);
        const CBatteryInfo& b = *r.info;
        EXPECT_EQ(b.m_ulTag, 0u) << why;
        EXPECT_FALSE(b.m_hBattery) << why;
        EXPECT_EQ(r.calls->OpenHandles(), 0) << why;
        for (const std::string& text : AllTexts(b)) EXPECT_EQ(text, "") << why;
        // Nothing is asked beyond the status.
        EXPECT_LE(r.calls->requests.size(), 3u) << why;
    }
    // Without an interface nothing is opened; with tag 0 no status request is sent.
    EXPECT_TRUE(Read([](CRecordedBatteryCalls& c) { c.listed.clear(); }).calls->opened.empty());
    EXPECT_EQ(Read([](CRecordedBatteryCalls& c) {
                  c.tag = RecordedReply{EncodeLe32(0), {}};
              }).calls->requests.size(),
              1u);
}

TEST(WindowsBattery, TheFirstListedBayWhoseTagIsNotZeroIsRead) {
    const std::u16string bay1 = u"\\\\?\\acpi#pnp0c0a#1#{72631e54-78a4-11d0-bcf7-00aa00b7b32a}";
    const std::u16string bay2 = u"\\\\?\\acpi#pnp0c0a#2#{72631e54-78a4-11d0-bcf7-00aa00b7b32a}";
    const RecordedReply empty{EncodeLe32(0), {}};  // BATTERY_TAG_INVALID: no battery in the bay
    const struct {
        const char* what;
        std::vector<std::u16string> listed;
        std::u16string battery;  // the interface the battery answers on
        std::map<std::u16string, RecordedReply> otherTags;
        bool bRead;
        std::vector<std::u16string> opened;
    } rows[] = {
        {"an empty bay, then the battery", {bay1, bay2}, bay2, {{bay1, empty}}, true, {bay1, bay2}},
        {"a bay refusing the tag, then the battery", {bay1, bay2}, bay2, {}, true, {bay1, bay2}},
        {"the battery, then an empty bay", {bay1, bay2}, bay1, {{bay2, empty}}, true, {bay1}},
        {"two empty bays", {bay1, bay2}, u"", {{bay1, empty}, {bay2, empty}}, false, {bay1, bay2}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Reading r = Read([&](CRecordedBatteryCalls& c) {
            c.listed = row.listed;
            c.path = row.battery;
            c.otherTags = row.otherTags;
        });
        EXPECT_EQ(r.calls->opened, row.opened);
        // The empty bays were closed as soon as they answered.
        EXPECT_EQ(r.calls->OpenHandles(), row.bRead ? 1 : 0);
        EXPECT_EQ(r.info->m_ulTag, row.bRead ? 0x2Au : 0u);
        EXPECT_EQ(r.info->m_strDeviceName, row.bRead ? "DELL PN1VN08" : "");
        EXPECT_EQ(r.info->m_strWear, row.bRead ? "9" : "");
        // Only the tag is asked of a bay that is passed over.
        for (const auto& request : r.calls->requests) {
            if (request.devicePath != row.battery) {
                EXPECT_EQ(request.code, 0x294040u);
            }
        }
    }
}

TEST(WindowsBattery, ARefusedOrBrokenLevelEmptiesOnlyItsOwnTexts) {
    const auto capacitiesGone = [](const CBatteryInfo& b) {
        return b.m_strFullCapacity.empty() && b.m_strDesignCapacity.empty() &&
               b.m_strWear.empty() && b.m_strCycleCount.empty() && b.m_strChemistry.empty();
    };
    for (const auto& [why, setUp] :
         std::vector<std::pair<const char*, std::function<void(CRecordedBatteryCalls&)>>>{
             {"refused",
              [](CRecordedBatteryCalls& c) { c.levels.erase(InformationLevel::Information); }},
             {"cut short",
              [](CRecordedBatteryCalls& c) {
                  c.levels[InformationLevel::Information].bytes.resize(35);
              }},
             {"count past the buffer",
              [](CRecordedBatteryCalls& c) {
                  c.levels[InformationLevel::Information].returned = 37;
              }},
             {"count short of the record",
              [](CRecordedBatteryCalls& c) {
                  c.levels[InformationLevel::Information].returned = 32;
              }},
         }) {
        Reading r = Read(setUp);
        EXPECT_TRUE(capacitiesGone(*r.info)) << why;
        EXPECT_EQ(r.info->m_strSerialNumber, " 2958") << why;
        EXPECT_EQ(r.info->m_strTemperature, "2982") << why;
        EXPECT_EQ(r.info->m_strVoltage, "12.345000") << why;
    }

    for (const auto& [why, setUp] :
         std::vector<std::pair<const char*, std::function<void(CRecordedBatteryCalls&)>>>{
             {"refused",
              [](CRecordedBatteryCalls& c) { c.levels.erase(InformationLevel::Temperature); }},
             {"cut short",
              [](CRecordedBatteryCalls& c) {
                  c.levels[InformationLevel::Temperature].bytes.resize(3);
              }},
             {"count past the buffer",
              [](CRecordedBatteryCalls& c) {
                  c.levels[InformationLevel::Temperature].returned = 8;
              }},
         }) {
        Reading r = Read(setUp);
        EXPECT_EQ(r.info->m_strTemperature, "-") << why;
        EXPECT_EQ(r.info->m_strWear, "9") << why;
    }

    // A text the 200-byte buffer cannot hold is refused by the driver; a count past the
    // buffer is refused here. Either empties that text alone.
    Reading r = Read([](CRecordedBatteryCalls& c) {
        c.levels[InformationLevel::SerialNumber] = {EncodeText(std::string(100, 'S')), {}};
        c.levels[InformationLevel::UniqueId].returned = 201;
    });
    EXPECT_EQ(r.info->m_strSerialNumber, "");
    EXPECT_EQ(r.info->m_strUniqueId, "");
    EXPECT_EQ(r.info->m_strManufacturer, "SMP-ATL4.49");
    EXPECT_EQ(r.info->m_strDeviceName, "DELL PN1VN08");
    EXPECT_EQ(r.info->m_strTemperature, "2982");
}

TEST(WindowsBattery, TextsAreReadOnlyAsFarAsTheDriverSaysItWrote) {
    Reading r = Read([](CRecordedBatteryCalls& c) {
        // 99 units and the zero unit fill the buffer exactly.
        c.levels[InformationLevel::SerialNumber] = {EncodeText(std::string(99, 'S')), {}};
        // The whole name is in the buffer, but the driver says it wrote 8 bytes: 4 units.
        c.levels[InformationLevel::DeviceName].returned = 8;
        // No bytes at all: an empty text, not a failure.
        c.levels[InformationLevel::ManufactureName] = {Bytes{}, {}};
    });
    EXPECT_EQ(r.info->m_strSerialNumber, std::string(99, 'S'));
    EXPECT_EQ(r.info->m_strDeviceName, "DELL");
    EXPECT_EQ(r.info->m_strManufacturer, "");
}

TEST(WindowsBattery, WideTextsBecomePageText) {
    Reading r = Read([](CRecordedBatteryCalls& c) {
        c.levels[InformationLevel::ManufactureName] = {EncodeText("联想电池"), {}};
        // A high surrogate with no low one after it, then "A".
        c.levels[InformationLevel::DeviceName] = {Bytes{0x3D, 0xD8, 'A', 0, 0, 0}, {}};
    });
    EXPECT_EQ(r.info->m_strManufacturer, text::Utf8ToGbk("联想电池"));
    EXPECT_EQ(text::GbkToUtf8(r.info->m_strManufacturer), "联想电池");
    EXPECT_EQ(r.info->m_strDeviceName, "?A");
}

TEST(WindowsBattery, UnknownAndRelativeFiguresAsOnEverySystem) {
    platform::BatteryInformation unknownFull;
    unknownFull.designedCapacity = 50000;
    unknownFull.fullChargedCapacity = 0xFFFFFFFF;  // BATTERY_UNKNOWN_CAPACITY
    unknownFull.cycleCount = 0;
    unknownFull.chemistry = {'L', 'i', 0, 0};
    Reading r = Read([&](CRecordedBatteryCalls& c) {
        c.status = RecordedReply{EncodeStatus(0xFFFFFFFF), {}};  // BATTERY_UNKNOWN_VOLTAGE
        c.levels[InformationLevel::Information] = {EncodeInformation(unknownFull), {}};
        c.powerStatus = EncodeSystemPowerStatus(255);
    });
    EXPECT_EQ(r.info->m_strVoltage, "");
    EXPECT_EQ(r.info->m_strFullCapacity, "");
    EXPECT_EQ(r.info->m_strDesignCapacity, "50000");
    EXPECT_EQ(r.info->m_strWear, "");
    EXPECT_EQ(r.info->m_strChemistry, "Li");
    EXPECT_EQ(r.info->m_strCycleCount, "0");
    EXPECT_EQ(r.info->m_strRemaining, "");

    // GetSystemPowerStatus failing is no figure either; 0 V is a figure.
    Reading failed = Read([](CRecordedBatteryCalls& c) {
        c.powerStatus.reset();
        c.status = RecordedReply{EncodeStatus(0), {}};
    });
    EXPECT_EQ(failed.info->m_strRemaining, "");
    EXPECT_EQ(failed.info->m_strVoltage, "0.000000");
    EXPECT_EQ(failed.info->m_strWear, "9");

    // Capacities on the battery's own relative scale (BATTERY_CAPACITY_RELATIVE).
    platform::BatteryInformation relative;
    relative.designedCapacity = 100;
    relative.fullChargedCapacity = 87;
    relative.bRelativeCapacity = true;
    Reading scaled = Read([&](CRecordedBatteryCalls& c) {
        c.levels[InformationLevel::Information] = {EncodeInformation(relative), {}};
    });
    EXPECT_TRUE(scaled.info->m_bRelativeCapacity);
    EXPECT_EQ(scaled.info->m_strDesignCapacity, "100");
    EXPECT_EQ(scaled.info->m_strFullCapacity, "87");
    EXPECT_EQ(scaled.info->m_strWear, "13");
    EXPECT_FALSE(r.info->m_bRelativeCapacity);
}

}  // namespace
