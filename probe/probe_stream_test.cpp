#include "probe/probe_stream.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

using platform::DriveCall;
using platform::DriveCallKind;
using probe::ProbeData;
using probe::ReadProbeStream;
using probe::WriteProbeStream;

std::vector<std::uint8_t> Bytes(std::size_t n, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), seed);
    return bytes;
}

DriveCall Call(DriveCallKind kind, bool ok, std::uint8_t seed) {
    DriveCall call;
    call.kind = kind;
    call.bOk = ok;
    call.data = Bytes(platform::DriveCallBytes(kind), seed);
    return call;
}

// Every field of every record kind, with values that differ from their neighbours.
ProbeData FullData() {
    ProbeData data;
    data.smbiosEntryPoint = Bytes(0x18, 0x5F);
    data.smbiosTable = Bytes(5000, 3);
    platform::DriveRecord ata;
    ata.bOpened = true;
    ata.calls.push_back(Call(DriveCallKind::kGetVersion, true, 1));
    DriveCall enable = Call(DriveCallKind::kSendCommand, false, 0);
    enable.regs = {0xD8, 1, 2, 0x4F, 0xC2, 0xA0, 0xB0};
    enable.nErrorCode = -123456;
    ata.calls.push_back(enable);
    DriveCall identify = Call(DriveCallKind::kReceiveData, true, 9);
    identify.regs = {0x00, 1, 1, 0x00, 0x00, 0xA0, 0xEC};
    ata.calls.push_back(identify);
    data.drives.push_back(ata);
    platform::DriveRecord nvme;
    nvme.number = 3;
    nvme.bOpened = true;
    nvme.bNvme = true;
    nvme.calls.push_back(Call(DriveCallKind::kNvmeIdentify, true, 77));
    DriveCall nameSpace = Call(DriveCallKind::kNvmeIdentifyNamespace, true, 150);
    nameSpace.nsid = 0x87654321;  // all four bytes differ
    nvme.calls.push_back(nameSpace);
    DriveCall log = Call(DriveCallKind::kNvmeGetLogPage, false, 200);
    log.logId = 0x02;
    nvme.calls.push_back(log);
    data.drives.push_back(nvme);
    platform::DriveRecord missing;
    missing.number = 1;
    data.drives.push_back(missing);
    return data;
}

std::vector<std::uint8_t> Stream(const ProbeData& data) {
    auto stream = WriteProbeStream(data);
    EXPECT_TRUE(stream);
    return stream.value_or(std::vector<std::uint8_t>{});
}

std::string RefusalOf(const std::vector<std::uint8_t>& stream) {
    std::string err;
    const auto data = ReadProbeStream(stream, &err);
    EXPECT_FALSE(data);
    EXPECT_FALSE(err.empty());
    return err;
}

void PutLe(std::vector<std::uint8_t>& out, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A stream written by hand: the header, then `records` as given, then the end record.
std::vector<std::uint8_t> HandStream(
    const std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>>& records,
    bool bEnd = true) {
    std::vector<std::uint8_t> out{'Q', 'R', 'X', 'P', 'R', 'O', 'B', 'E', 2, 0};
    for (const auto& [tag, payload] : records) {
        PutLe(out, tag, 2);
        PutLe(out, static_cast<std::uint32_t>(payload.size()), 4);
        out.insert(out.end(), payload.begin(), payload.end());
    }
    if (bEnd) PutLe(out, 0, 6);
    return out;
}

std::vector<std::uint8_t> CallPayload(std::uint8_t kind, std::uint8_t ok, std::size_t dataBytes) {
    std::vector<std::uint8_t> payload{kind, 0, 0, 0, 0, 0, 0, 0, 0, ok, 0, 0, 0, 0, 0, 0, 0, 0};
    payload.resize(payload.size() + dataBytes, 0xAB);
    return payload;
}

TEST(ProbeStream, RoundTripKeepsEveryField) {
    const ProbeData data = FullData();
    std::string err;
    const auto back = ReadProbeStream(Stream(data), &err);
    ASSERT_TRUE(back) << err;
    EXPECT_EQ(*back, data);

    // Nothing read at all, and files that were there but empty: both survive as they were.
    ProbeData nothing;
    EXPECT_EQ(ReadProbeStream(Stream(nothing), &err), nothing);
    ProbeData empty;
    empty.smbiosEntryPoint.emplace();
    empty.smbiosTable.emplace();
    EXPECT_EQ(ReadProbeStream(Stream(empty), &err), empty);
}

TEST(ProbeStream, TheLayoutIsFramedLittleEndian) {
    ProbeData data;
    data.smbiosTable = std::vector<std::uint8_t>{0xAA, 0xBB};
    const std::vector<std::uint8_t> want{'Q', 'R', 'X', 'P', 'R',  'O',  'B', 'E', 2, 0, 2, 0,
                                         2,   0,   0,   0,   0xAA, 0xBB, 0,   0,   0, 0, 0, 0};
    EXPECT_EQ(Stream(data), want);
}

TEST(ProbeStream, EveryTruncationIsRefused) {
    const auto stream = Stream(FullData());
    for (std::size_t n = 0; n < stream.size(); ++n) {
        std::string err;
        EXPECT_FALSE(ReadProbeStream(std::span(stream).first(n), &err)) << n;
    }
    auto longer = stream;
    longer.push_back(0);
    EXPECT_NE(RefusalOf(longer).find("after its end record"), std::string::npos);
}

TEST(ProbeStream, HeaderAndFramingFaultsAreRefused) {
    auto stream = Stream(FullData());
    auto badMagic = stream;
    badMagic[0] = 'X';
    EXPECT_NE(RefusalOf(badMagic).find("not a probe stream"), std::string::npos);
    // Version 1 calls had no namespace ID: read as version 2 every field after it would shift.
    auto version1 = stream;
    version1[8] = 1;
    EXPECT_NE(RefusalOf(version1).find("version 1"), std::string::npos);

    // A length that reaches past the end, however large.
    for (std::uint32_t length : {6u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        auto bad = HandStream({{1, {1, 2, 3, 4, 5}}}, false);
        bad[12] = static_cast<std::uint8_t>(length);
        bad[13] = static_cast<std::uint8_t>(length >> 8);
        bad[14] = static_cast<std::uint8_t>(length >> 16);
        bad[15] = static_cast<std::uint8_t>(length >> 24);
        bad.resize(bad.size() + 6, 0);
        EXPECT_NE(RefusalOf(bad).find("truncated"), std::string::npos) << length;
    }
    EXPECT_NE(RefusalOf(HandStream({{9, {}}})).find("unknown tag 9"), std::string::npos);
    EXPECT_NE(RefusalOf(HandStream({{0, {1}}})).find("end record"), std::string::npos);
    EXPECT_FALSE(
        ReadProbeStream(std::vector<std::uint8_t>(probe::kMaxProbeStreamBytes + 1, 0), nullptr));
}

TEST(ProbeStream, RecordFaultsAreRefused) {
    EXPECT_NE(RefusalOf(HandStream({{1, {}}, {1, {}}})).find("two SMBIOS entry points"),
              std::string::npos);
    EXPECT_NE(RefusalOf(HandStream({{2, {}}, {2, {}}})).find("two SMBIOS tables"),
              std::string::npos);
    EXPECT_NE(RefusalOf(HandStream({{2, std::vector<std::uint8_t>(probe::kMaxTableBytes + 1)}}))
                  .find("table of"),
              std::string::npos);
    EXPECT_NE(
        RefusalOf(HandStream({{1, std::vector<std::uint8_t>(probe::kMaxEntryPointBytes + 1)}}))
            .find("entry point of"),
        std::string::npos);
    // Drive records: wrong size, flags that are not 0 or 1.
    RefusalOf(HandStream({{3, {0, 1}}}));
    RefusalOf(HandStream({{3, {0, 2, 0}}}));
    RefusalOf(HandStream({{3, {0, 1, 7}}}));
    // Calls: before any drive, after a drive that did not open, of an unknown kind, with an
    // outcome other than 0 or 1, with more or fewer bytes than the kind moves.
    const auto version = CallPayload(1, 1, 24);
    EXPECT_NE(RefusalOf(HandStream({{4, version}})).find("without an opened drive"),
              std::string::npos);
    RefusalOf(HandStream({{3, {0, 0, 0}}, {4, version}}));
    RefusalOf(HandStream({{3, {0, 1, 0}}, {4, CallPayload(7, 1, 0)}}));
    RefusalOf(HandStream({{3, {0, 1, 1}}, {4, CallPayload(6, 1, 512)}}));
    RefusalOf(HandStream({{3, {0, 1, 0}}, {4, CallPayload(0, 1, 0)}}));
    RefusalOf(HandStream({{3, {0, 1, 0}}, {4, CallPayload(1, 2, 24)}}));
    RefusalOf(HandStream({{3, {0, 1, 0}}, {4, CallPayload(1, 1, 23)}}));
    RefusalOf(HandStream({{3, {0, 1, 0}}, {4, CallPayload(3, 1, 4096)}}));
    RefusalOf(HandStream({{3, {0, 1, 0}}, {4, {1, 0, 0}}}));
    // The well-formed neighbours of those are taken.
    std::string err;
    EXPECT_TRUE(ReadProbeStream(HandStream({{3, {0, 1, 0}}, {4, version}}), &err)) << err;
    EXPECT_TRUE(ReadProbeStream(HandStream({{3, {0, 1, 1}}, {4, CallPayload(4, 0, 4096)}}), &err))
        << err;
    EXPECT_TRUE(ReadProbeStream(HandStream({{3, {0, 1, 1}}, {4, CallPayload(6, 1, 4096)}}), &err))
        << err;

    // No more calls and drive records than any reading makes.
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> many{{3, {0, 1, 0}}};
    for (std::size_t i = 0; i <= probe::kMaxDriveCalls; ++i) many.push_back({4, version});
    EXPECT_NE(RefusalOf(HandStream(many)).find("drive calls"), std::string::npos);
    many.pop_back();
    EXPECT_TRUE(ReadProbeStream(HandStream(many), &err)) << err;
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> drives(5, {3, {0, 0, 0}});
    EXPECT_NE(RefusalOf(HandStream(drives)).find("drive records"), std::string::npos);
}

TEST(ProbeStream, TheWriterRefusesWhatTheReaderWould) {
    ProbeData tooLong;
    tooLong.smbiosTable = std::vector<std::uint8_t>(probe::kMaxTableBytes + 1);
    EXPECT_FALSE(WriteProbeStream(tooLong));
    ProbeData shortCall = FullData();
    shortCall.drives[0].calls[0].data.pop_back();
    EXPECT_FALSE(WriteProbeStream(shortCall));
    ProbeData callOnClosed = FullData();
    callOnClosed.drives[2].calls.push_back(Call(DriveCallKind::kGetVersion, true, 0));
    EXPECT_FALSE(WriteProbeStream(callOnClosed));
    ProbeData tooMany = FullData();
    tooMany.drives[0].calls.resize(probe::kMaxDriveCalls,
                                   Call(DriveCallKind::kGetVersion, true, 0));
    EXPECT_FALSE(WriteProbeStream(tooMany));

    // The largest stream a reading can make fits the cap and reads back.
    ProbeData largest;
    largest.smbiosEntryPoint = std::vector<std::uint8_t>(probe::kMaxEntryPointBytes, 1);
    largest.smbiosTable = std::vector<std::uint8_t>(probe::kMaxTableBytes, 2);
    largest.drives.resize(1);
    largest.drives[0].bOpened = true;
    largest.drives[0].calls.resize(probe::kMaxDriveCalls,
                                   Call(DriveCallKind::kNvmeIdentify, true, 0));
    const auto stream = WriteProbeStream(largest);
    ASSERT_TRUE(stream);
    EXPECT_LE(stream->size(), probe::kMaxProbeStreamBytes);
    EXPECT_EQ(ReadProbeStream(*stream, nullptr), largest);
}

}  // namespace
