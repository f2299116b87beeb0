#include "probe/probe_stream.h"

#include <algorithm>
#include <array>

#include "base/little_endian.h"

namespace probe {
namespace {

constexpr std::array<std::uint8_t, 8> kMagic{'Q', 'R', 'X', 'P', 'R', 'O', 'B', 'E'};
constexpr std::size_t kHeaderBytes = kMagic.size() + 2;
constexpr std::size_t kRecordHeaderBytes = 6;
constexpr std::size_t kDriveOpenBytes = 3;
constexpr std::size_t kDriveCallHeadBytes = 18;
constexpr std::size_t kMaxDriveRecords = 4;

void PutRecord(std::vector<std::uint8_t>& out, ProbeTag tag,
               std::span<const std::uint8_t> payload) {
    base::AppendLe(out, static_cast<std::uint16_t>(tag), 2);
    base::AppendLe(out, static_cast<std::uint32_t>(payload.size()), 4);
    out.insert(out.end(), payload.begin(), payload.end());
}

bool IsKnownKind(std::uint8_t kind) {
    return kind >= static_cast<std::uint8_t>(platform::DriveCallKind::kGetVersion) &&
           kind <= static_cast<std::uint8_t>(platform::DriveCallKind::kNvmeIdentifyNamespace);
}

bool IsFlag(std::uint8_t value) {
    return value == 0 || value == 1;
}

std::optional<ProbeData> Refuse(std::string* err, std::string why) {
    if (err) *err = std::move(why);
    return std::nullopt;
}

std::vector<std::uint8_t> CallPayload(const platform::DriveCall& call) {
    std::vector<std::uint8_t> payload;
    payload.reserve(kDriveCallHeadBytes + call.data.size());
    payload.push_back(static_cast<std::uint8_t>(call.kind));
    const platform::AtaRegisters& r = call.regs;
    for (std::uint8_t byte :
         {r.features, r.sectorCount, r.lbaLow, r.lbaMid, r.lbaHigh, r.device, r.command})
        payload.push_back(byte);
    payload.push_back(call.logId);
    payload.push_back(call.bOk ? 1 : 0);
    base::AppendLe(payload, static_cast<std::uint32_t>(call.nErrorCode), 4);
    base::AppendLe(payload, call.nsid, 4);
    payload.insert(payload.end(), call.data.begin(), call.data.end());
    return payload;
}

// The call in `payload` (a kDriveCall record); nullopt with `*err` set when it is malformed.
std::optional<platform::DriveCall> ParseCall(std::span<const std::uint8_t> payload,
                                             std::string* err) {
    if (payload.size() < kDriveCallHeadBytes) {
        *err = "a drive call record of " + std::to_string(payload.size()) + " bytes";
        return std::nullopt;
    }
    if (!IsKnownKind(payload[0])) {
        *err = "a drive call of unknown kind " + std::to_string(payload[0]);
        return std::nullopt;
    }
    platform::DriveCall call;
    call.kind = static_cast<platform::DriveCallKind>(payload[0]);
    call.regs = {payload[1], payload[2], payload[3], payload[4],
                 payload[5], payload[6], payload[7]};
    call.logId = payload[8];
    if (!IsFlag(payload[9])) {
        *err = "a drive call whose outcome is neither 0 nor 1";
        return std::nullopt;
    }
    call.bOk = payload[9] == 1;
    call.nErrorCode = static_cast<std::int32_t>(base::LoadLe32(payload, 10));
    call.nsid = base::LoadLe32(payload, 14);
    const auto data = payload.subspan(kDriveCallHeadBytes);
    if (data.size() != platform::DriveCallBytes(call.kind)) {
        *err = "a drive call with " + std::to_string(data.size()) + " bytes where its kind moves " +
               std::to_string(platform::DriveCallBytes(call.kind));
        return std::nullopt;
    }
    call.data.assign(data.begin(), data.end());
    return call;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> WriteProbeStream(const ProbeData& data) {
    if (data.smbiosEntryPoint && data.smbiosEntryPoint->size() > kMaxEntryPointBytes)
        return std::nullopt;
    if (data.smbiosTable && data.smbiosTable->size() > kMaxTableBytes) return std::nullopt;
    if (data.drives.size() > kMaxDriveRecords) return std::nullopt;
    std::size_t calls = 0;
    for (const platform::DriveRecord& drive : data.drives) {
        if (!drive.bOpened && !drive.calls.empty()) return std::nullopt;
        calls += drive.calls.size();
        for (const platform::DriveCall& call : drive.calls) {
            if (!IsKnownKind(static_cast<std::uint8_t>(call.kind)) ||
                call.data.size() != platform::DriveCallBytes(call.kind))
                return std::nullopt;
        }
    }
    if (calls > kMaxDriveCalls) return std::nullopt;

    std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
    base::AppendLe(out, kProbeStreamVersion, 2);
    if (data.smbiosEntryPoint) PutRecord(out, ProbeTag::kSmbiosEntryPoint, *data.smbiosEntryPoint);
    if (data.smbiosTable) PutRecord(out, ProbeTag::kSmbiosTable, *data.smbiosTable);
    for (const platform::DriveRecord& drive : data.drives) {
        const std::array<std::uint8_t, kDriveOpenBytes> open{
            drive.number, static_cast<std::uint8_t>(drive.bOpened ? 1 : 0),
            static_cast<std::uint8_t>(drive.bNvme ? 1 : 0)};
        PutRecord(out, ProbeTag::kDriveOpen, open);
        for (const platform::DriveCall& call : drive.calls)
            PutRecord(out, ProbeTag::kDriveCall, CallPayload(call));
    }
    PutRecord(out, ProbeTag::kEnd, {});
    if (out.size() > kMaxProbeStreamBytes) return std::nullopt;
    return out;
}

std::optional<ProbeData> ReadProbeStream(std::span<const std::uint8_t> stream, std::string* err) {
    if (stream.size() > kMaxProbeStreamBytes)
        return Refuse(err, "more than " + std::to_string(kMaxProbeStreamBytes) + " bytes");
    if (stream.size() < kHeaderBytes || !std::equal(kMagic.begin(), kMagic.end(), stream.begin()))
        return Refuse(err, "not a probe stream (no QRXPROBE header)");
    const std::uint32_t version = base::LoadLe16(stream, kMagic.size());
    if (version != kProbeStreamVersion)
        return Refuse(err, "format version " + std::to_string(version) + ", not " +
                               std::to_string(kProbeStreamVersion));

    ProbeData data;
    std::size_t calls = 0;
    std::size_t pos = kHeaderBytes;
    while (true) {
        if (stream.size() - pos < kRecordHeaderBytes)
            return Refuse(err, "truncated: it ends without its end record");
        const std::uint32_t tag = base::LoadLe16(stream, pos);
        const std::uint32_t length = base::LoadLe32(stream, pos + 2);
        pos += kRecordHeaderBytes;
        if (length > stream.size() - pos)
            return Refuse(err, "truncated: a record of " + std::to_string(length) +
                                   " bytes where " + std::to_string(stream.size() - pos) +
                                   " are left");
        const auto payload = stream.subspan(pos, length);
        pos += length;
        std::string why;
        switch (static_cast<ProbeTag>(tag)) {
            case ProbeTag::kEnd:
                if (length != 0) return Refuse(err, "an end record that is not empty");
                if (pos != stream.size())
                    return Refuse(
                        err, std::to_string(stream.size() - pos) + " bytes after its end record");
                return data;
            case ProbeTag::kSmbiosEntryPoint:
                if (data.smbiosEntryPoint) return Refuse(err, "two SMBIOS entry points");
                if (length > kMaxEntryPointBytes)
                    return Refuse(err,
                                  "an SMBIOS entry point of " + std::to_string(length) + " bytes");
                data.smbiosEntryPoint.emplace(payload.begin(), payload.end());
                break;
            case ProbeTag::kSmbiosTable:
                if (data.smbiosTable) return Refuse(err, "two SMBIOS tables");
                if (length > kMaxTableBytes)
                    return Refuse(err, "an SMBIOS table of " + std::to_string(length) + " bytes");
                data.smbiosTable.emplace(payload.begin(), payload.end());
                break;
            case ProbeTag::kDriveOpen:
                if (length != kDriveOpenBytes || !IsFlag(payload[1]) || !IsFlag(payload[2]))
                    return Refuse(err, "a malformed drive record");
                if (data.drives.size() == kMaxDriveRecords)
                    return Refuse(
                        err, "more than " + std::to_string(kMaxDriveRecords) + " drive records");
                data.drives.push_back({payload[0], payload[1] == 1, payload[2] == 1, {}});
                break;
            case ProbeTag::kDriveCall: {
                if (data.drives.empty() || !data.drives.back().bOpened)
                    return Refuse(err, "a drive call without an opened drive before it");
                if (++calls > kMaxDriveCalls)
                    return Refuse(err,
                                  "more than " + std::to_string(kMaxDriveCalls) + " drive calls");
                auto call = ParseCall(payload, &why);
                if (!call) return Refuse(err, why);
                data.drives.back().calls.push_back(std::move(*call));
                break;
            }
            default:
                return Refuse(err, "a record of unknown tag " + std::to_string(tag));
        }
    }
}

}  // namespace probe
