// Tests only: a drive that answers DeviceIoControl from recorded replies, and the reply
// layouts written out by hand (not with the code's own constants), so a wrong offset in the
// code under test cannot also be in its test.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "platform/windows/windows_drive.h"
#include "platform/windows/windows_drive_system.h"

namespace platform::drive_testing {

inline constexpr std::uint32_t kErrorNotSupportedCode = 50;  // what Wine answers

// One recorded answer: `bytes` go into the caller's buffer (cut to its size, never past it)
// and `claimed` (default: the size of `bytes`) is the byte count reported. A failed call
// reports `error`.
struct RecordedReply {
    std::vector<std::uint8_t> bytes;
    std::optional<std::uint32_t> claimed;
    bool bFails = false;
    std::uint32_t error = 0;

    static RecordedReply Failing(std::uint32_t code) { return {{}, std::nullopt, true, code}; }
};

// What one drive answers, request by request; a request without a recorded answer fails
// with ERROR_NOT_SUPPORTED, as every drive request does under Wine.
struct DriveRecording {
    std::optional<RecordedReply> busQuery;       // StorageDeviceProperty
    std::optional<RecordedReply> version;        // SMART_GET_VERSION
    std::optional<RecordedReply> enable;         // SMART_SEND_DRIVE_COMMAND
    std::optional<RecordedReply> identify;       // SMART_RCV_DRIVE_DATA, command ECh
    std::optional<RecordedReply> smartData;      // SMART_RCV_DRIVE_DATA, any other command
    std::optional<RecordedReply> nvmeIdentify;   // protocol-specific query, data type Identify
    std::optional<RecordedReply> nvmeNamespace;  // the same, request value 0 (CNS 00h)
    std::optional<RecordedReply> nvmeLog;        // protocol-specific query, data type Log Page
};

struct RecordedCall {
    std::uint32_t code = 0;
    std::vector<std::uint8_t> in;
    std::size_t outBytes = 0;
};

class CRecordedDeviceIo final : public IDeviceIo {
public:
    CRecordedDeviceIo(DriveRecording recording, std::vector<RecordedCall>* calls)
        : m_recording(std::move(recording)), m_pCalls(calls) {}

    std::optional<std::uint32_t> Control(std::uint32_t code, std::span<const std::uint8_t> in,
                                         std::span<std::uint8_t> out,
                                         std::uint32_t* lastError) override {
        if (m_pCalls) m_pCalls->push_back({code, {in.begin(), in.end()}, out.size()});
        const std::optional<RecordedReply>& reply = Pick(code, in);
        if (!reply || reply->bFails) {
            *lastError = reply ? reply->error : kErrorNotSupportedCode;
            return std::nullopt;
        }
        std::copy_n(reply->bytes.begin(), std::min(reply->bytes.size(), out.size()), out.begin());
        return reply->claimed.value_or(static_cast<std::uint32_t>(reply->bytes.size()));
    }

private:
    const std::optional<RecordedReply>& Pick(std::uint32_t code,
                                             std::span<const std::uint8_t> in) const {
        static const std::optional<RecordedReply> kNone;
        switch (code) {
            case 0x2D1400:  // IOCTL_STORAGE_QUERY_PROPERTY
                if (base::ReadLe32(in, 0) == 0u) return m_recording.busQuery;
                if (base::ReadLe32(in, 12) == 1u)
                    return base::ReadLe32(in, 16) == 0u ? m_recording.nvmeNamespace
                                                        : m_recording.nvmeIdentify;
                if (base::ReadLe32(in, 12) == 2u) return m_recording.nvmeLog;
                return kNone;
            case 0x74080:
                return m_recording.version;
            case 0x7C084:
                return m_recording.enable;
            case 0x7C088:
                return in.size() > 10 && in[10] == 0xEC ? m_recording.identify
                                                        : m_recording.smartData;
            default:
                return kNone;
        }
    }

    DriveRecording m_recording;
    std::vector<RecordedCall>* m_pCalls;
};

// STORAGE_DEVICE_DESCRIPTOR of 40 bytes: Version 40, Size 40, RemovableMedia at 10, BusType
// at 28.
inline std::vector<std::uint8_t> DeviceDescriptorReply(std::uint32_t busType,
                                                       bool removable = false) {
    std::vector<std::uint8_t> reply(40, 0);
    base::StoreLe32(reply, 0, 40);
    base::StoreLe32(reply, 4, 40);
    reply[10] = removable ? 1 : 0;
    base::StoreLe32(reply, 28, busType);
    return reply;
}

// GETVERSIONINPARAMS: version 1, revision 1, device map 1, capabilities at 4.
inline std::vector<std::uint8_t> VersionReply(std::uint32_t capabilities) {
    std::vector<std::uint8_t> reply(24, 0);
    reply[0] = 1;
    reply[1] = 1;
    reply[3] = 1;
    base::StoreLe32(reply, 4, capabilities);
    return reply;
}

// SENDCMDOUTPARAMS: cBufferSize, bDriverError at 4, bIDEError at 5, the data from 16.
inline std::vector<std::uint8_t> SendCmdOutReply(std::span<const std::uint8_t> data,
                                                 std::uint32_t bufferSize,
                                                 std::uint8_t driverError = 0,
                                                 std::uint8_t ideError = 0) {
    std::vector<std::uint8_t> reply(16, 0);
    base::StoreLe32(reply, 0, bufferSize);
    reply[4] = driverError;
    reply[5] = ideError;
    reply.insert(reply.end(), data.begin(), data.end());
    return reply;
}

// STORAGE_PROTOCOL_DATA_DESCRIPTOR: Version, Size, then STORAGE_PROTOCOL_SPECIFIC_DATA from
// 8 (ProtocolType NVMe, ProtocolDataOffset at 8 + 16, ProtocolDataLength at 8 + 20), then
// the data at 8 + `offset`.
struct ProtocolReplyLayout {
    std::uint32_t version = 48;
    std::uint32_t size = 48;
    std::uint32_t offset = 40;
    std::optional<std::uint32_t> length;  // default: the data's size
};
inline std::vector<std::uint8_t> ProtocolDataReply(std::span<const std::uint8_t> data,
                                                   const ProtocolReplyLayout& layout = {}) {
    // The data goes at `offset` when that is a plausible place; a wild offset is only stated.
    const std::size_t dataAt = layout.offset >= 40 && layout.offset <= 4096 ? layout.offset : 40;
    std::vector<std::uint8_t> reply(8 + dataAt, 0);
    base::StoreLe32(reply, 0, layout.version);
    base::StoreLe32(reply, 4, layout.size);
    base::StoreLe32(reply, 8, 3);
    base::StoreLe32(reply, 8 + 16, layout.offset);
    base::StoreLe32(reply, 8 + 20, layout.length.value_or(static_cast<std::uint32_t>(data.size())));
    reply.insert(reply.end(), data.begin(), data.end());
    return reply;
}

inline RecordedReply Reply(std::vector<std::uint8_t> bytes) {
    return {std::move(bytes), std::nullopt, false, 0};
}

// A SATA drive that takes SMART and answers IDENTIFY DEVICE and SMART READ DATA with these
// sectors (none recorded: that command fails).
inline DriveRecording AtaDriveRecording(const std::optional<std::vector<std::uint8_t>>& identify,
                                        const std::optional<std::vector<std::uint8_t>>& smart) {
    DriveRecording drive;
    drive.busQuery = Reply(DeviceDescriptorReply(0x0B));
    drive.version = Reply(VersionReply(0x07));
    drive.enable = Reply(SendCmdOutReply({}, 0));
    if (identify) drive.identify = Reply(SendCmdOutReply(*identify, 512));
    if (smart) drive.smartData = Reply(SendCmdOutReply(*smart, 512));
    return drive;
}

// An NVMe drive that answers Identify Controller and the health log with these pages.
inline DriveRecording NvmeDriveRecording(
    const std::optional<std::vector<std::uint8_t>>& identify,
    const std::optional<std::vector<std::uint8_t>>& healthLog) {
    DriveRecording drive;
    drive.busQuery = Reply(DeviceDescriptorReply(0x11));
    if (identify) drive.nvmeIdentify = Reply(ProtocolDataReply(*identify));
    if (healthLog) drive.nvmeLog = Reply(ProtocolDataReply(*healthLog));
    return drive;
}

// Opens \\.\PhysicalDrive<n> as `drives[n]`; nothing past the last, nor where that is
// nullopt. Every call is recorded into `calls` when given.
inline DeviceOpener RecordedDrives(std::vector<std::optional<DriveRecording>> drives,
                                   std::vector<RecordedCall>* calls = nullptr) {
    return [drives = std::move(drives), calls](const std::string& path) {
        std::unique_ptr<IDeviceIo> io;
        for (std::size_t n = 0; n < drives.size(); ++n) {
            if (drives[n] && path == "\\\\.\\PhysicalDrive" + std::to_string(n)) {
                io = std::make_unique<CRecordedDeviceIo>(*drives[n], calls);
            }
        }
        return io;
    };
}

}  // namespace platform::drive_testing
