// Drive calls kept as data. A recording drive system passes every call through to a real one
// and keeps its outcome; a replaying drive system answers the same calls with the same
// outcomes, so the SMART reader runs the same steps over a record as over the drive itself
// (the window replays what the root probe recorded; quorrix-report saves what it read).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/drive_system.h"

namespace platform {

enum class DriveCallKind : std::uint8_t {
    kGetVersion = 1,
    kSendCommand = 2,
    kReceiveData = 3,
    kNvmeIdentify = 4,
    kNvmeGetLogPage = 5,
    kNvmeIdentifyNamespace = 6,
};

// The number of bytes a call of `kind` moves (0 for SendCommand).
std::size_t DriveCallBytes(DriveCallKind kind);

// One call and what the drive answered.
struct DriveCall {
    DriveCallKind kind = DriveCallKind::kGetVersion;
    AtaRegisters regs;       // kSendCommand, kReceiveData; zero otherwise
    std::uint8_t logId = 0;  // kNvmeGetLogPage; zero otherwise
    std::uint32_t nsid = 0;  // kNvmeIdentifyNamespace; zero otherwise
    bool bOk = false;
    std::int32_t nErrorCode = 0;     // kSendCommand: the error code it gave back
    std::vector<std::uint8_t> data;  // what the call left in its buffer, success or not
    bool operator==(const DriveCall&) const = default;
};

// One OpenDrive and the calls made on the drive it gave.
struct DriveRecord {
    std::uint8_t number = 0;
    bool bOpened = false;  // false: OpenDrive gave nullptr, and no call follows
    bool bNvme = false;
    std::vector<DriveCall> calls;
    bool operator==(const DriveRecord&) const = default;
};

// Passes each call to `inner` and keeps its outcome. `inner` must outlive this object and
// every drive it opened; the record grows as long as those drives are used.
class CRecordingDriveSystem final : public IDriveSystem {
public:
    explicit CRecordingDriveSystem(IDriveSystem& inner) : m_pInner(&inner) {}
    std::unique_ptr<IDrive> OpenDrive(std::uint8_t number) override;

    // Every OpenDrive so far, in order.
    const std::vector<DriveRecord>& Records() const { return m_records; }

private:
    IDriveSystem* m_pInner;
    std::vector<DriveRecord> m_records;
};

// Answers from records. OpenDrive(n) gives the first record of number n not used yet (nullptr
// when there is none, or it was not opened). Each call takes the first unused recorded call of
// the same kind and registers (or log, or namespace), copies its bytes and returns its outcome; a
// call that was not recorded fails with kNotRecordedError and leaves a zero buffer.
class CReplayDriveSystem final : public IDriveSystem {
public:
    // The error code a SendCommand outside the record gives back (EIO's number on Linux;
    // the reader only prints it).
    static constexpr int kNotRecordedError = 5;

    explicit CReplayDriveSystem(std::vector<DriveRecord> records)
        : m_records(std::move(records)), m_used(m_records.size(), false) {}
    std::unique_ptr<IDrive> OpenDrive(std::uint8_t number) override;

private:
    std::vector<DriveRecord> m_records;
    std::vector<bool> m_used;
};

}  // namespace platform
