// The fetch's sequence and its failure rows, against a scripted WMI session.
#include "platform/windows/wmi_smbios_query.h"

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

using platform::RawSmbios;

// What one MSSMBios_RawSMBiosTables instance answers; nullopt: the property is missing or of
// another type.
struct ScriptedInstance {
    std::optional<std::uint8_t> major;
    std::optional<std::uint8_t> minor;
    std::optional<std::vector<std::uint8_t>> data;
};

class CScriptedWmiQuery final : public platform::IWmiRawSmbiosQuery {
public:
    bool bConnects = true;
    std::vector<ScriptedInstance> instances;
    // Every call, in order: "Connect", "Next", or the property name asked for.
    std::vector<std::string> calls;

    bool Connect() override {
        calls.push_back("Connect");
        return bConnects;
    }
    bool NextInstance() override {
        calls.push_back("Next");
        if (m_nNext >= instances.size()) return false;
        m_pCurrent = &instances[m_nNext++];
        return true;
    }
    std::optional<std::uint8_t> GetByte(std::string_view name) override {
        calls.emplace_back(name);
        if (m_pCurrent == nullptr) return std::nullopt;
        if (name == platform::kWmiMajorVersionProperty) return m_pCurrent->major;
        if (name == platform::kWmiMinorVersionProperty) return m_pCurrent->minor;
        return std::nullopt;
    }
    std::optional<std::vector<std::uint8_t>> GetBytes(std::string_view name) override {
        calls.emplace_back(name);
        if (m_pCurrent == nullptr || name != platform::kWmiTableDataProperty) return std::nullopt;
        return m_pCurrent->data;
    }

private:
    std::size_t m_nNext = 0;
    const ScriptedInstance* m_pCurrent = nullptr;
};

std::vector<std::uint8_t> CountingBytes(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return bytes;
}

const std::vector<std::string> kFullSequence = {"Connect", "Next", "SmbiosMajorVersion",
                                                "SmbiosMinorVersion", "SMBiosData"};

TEST(ReadRawSmbios, SetupFailureReachesNothingAndAsksNoFurther) {
    // Covers every setup step (COM, locator, ROOT\WMI, blanket, enumerator): Connect is one.
    CScriptedWmiQuery query;
    query.bConnects = false;
    query.instances = {{3, 4, CountingBytes(10)}};
    const RawSmbios raw = platform::ReadRawSmbios(query);
    EXPECT_FALSE(raw.bReached);
    EXPECT_FALSE(raw.major);
    EXPECT_FALSE(raw.minor);
    EXPECT_FALSE(raw.table);
    EXPECT_EQ(query.calls, std::vector<std::string>{"Connect"});
}

TEST(ReadRawSmbios, KeepsWhatWasReadBeforeTheFirstMissingPart) {
    struct Row {
        const char* what;
        std::vector<ScriptedInstance> instances;
        std::optional<std::uint8_t> major;
        std::optional<std::uint8_t> minor;
        bool bTable;
        std::size_t nCalls;  // how far into kFullSequence the fetch went
    };
    const std::vector<Row> rows = {
        {"no instance", {}, std::nullopt, std::nullopt, false, 2},
        {"major missing",
         {{std::nullopt, 7, CountingBytes(4)}},
         std::nullopt,
         std::nullopt,
         false,
         3},
        {"minor missing", {{2, std::nullopt, CountingBytes(4)}}, 2, std::nullopt, false, 4},
        {"data missing or not a byte array", {{2, 7, std::nullopt}}, 2, 7, false, 5},
        {"all there", {{3, 4, CountingBytes(4)}}, 3, 4, true, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CScriptedWmiQuery query;
        query.instances = row.instances;
        const RawSmbios raw = platform::ReadRawSmbios(query);
        EXPECT_TRUE(raw.bReached);
        EXPECT_EQ(raw.major, row.major);
        EXPECT_EQ(raw.minor, row.minor);
        EXPECT_EQ(raw.table.has_value(), row.bTable);
        EXPECT_EQ(query.calls, std::vector<std::string>(kFullSequence.begin(),
                                                        kFullSequence.begin() + row.nCalls));
    }
}

TEST(ReadRawSmbios, TableHandedUpWholeUpToTheLimitAndCutAboveIt) {
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{63999}, std::size_t{64000}}) {
        SCOPED_TRACE(size);
        CScriptedWmiQuery query;
        query.instances = {{3, 2, CountingBytes(size)}};
        const RawSmbios raw = platform::ReadRawSmbios(query);
        ASSERT_TRUE(raw.table);
        EXPECT_EQ(*raw.table, CountingBytes(size));
    }
    // Longer than the decoder can ever take: only the limit's worth is handed up, enough for
    // the decoder to refuse it as too large.
    CScriptedWmiQuery query;
    query.instances = {{3, 2, CountingBytes(200000)}};
    const RawSmbios raw = platform::ReadRawSmbios(query);
    ASSERT_TRUE(raw.table);
    EXPECT_EQ(*raw.table, CountingBytes(platform::kWmiMaxHandedUpBytes));
    EXPECT_EQ(raw.major, 3);
    EXPECT_EQ(raw.minor, 2);
}

TEST(ReadRawSmbios, OnlyTheFirstInstanceIsRead) {
    CScriptedWmiQuery query;
    query.instances = {{2, 7, CountingBytes(5)}, {3, 4, CountingBytes(9)}};
    const RawSmbios raw = platform::ReadRawSmbios(query);
    EXPECT_EQ(raw.major, 2);
    EXPECT_EQ(raw.minor, 7);
    EXPECT_EQ(raw.table, CountingBytes(5));
    EXPECT_EQ(query.calls, kFullSequence);
}

TEST(FetchWithin, AnAnswerInTimeIsTakenALateOneIsNotWaitedFor) {
    using std::chrono::milliseconds;
    // The late fetch waits for `release`, which comes only after FetchWithin has given up.
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    const auto answerAfter = [](milliseconds wait) {
        std::this_thread::sleep_for(wait);
        CScriptedWmiQuery query;
        query.instances = {{3, 4, CountingBytes(7)}};
        return platform::ReadRawSmbios(query);
    };
    const auto start = std::chrono::steady_clock::now();
    const auto inTime =
        platform::FetchWithin([&] { return answerAfter(milliseconds(50)); }, milliseconds(5000));
    EXPECT_EQ(inTime.value_or(RawSmbios{}).table, CountingBytes(7));
    EXPECT_FALSE(platform::FetchWithin(
        [released] {
            released.wait();
            return RawSmbios{};
        },
        milliseconds(200)));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, milliseconds(250));
    EXPECT_LT(took, milliseconds(3000));
    release.set_value();  // the fetch given up on ends, and its answer goes nowhere
}

}  // namespace
