// Drives held in memory: a test's own sectors, or sectors saved from a real drive. Records
// every call it is given and fails wherever it is told to.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/drive_system.h"

namespace platform {

struct FakeDrive {
    bool bOpens = true;  // false: OpenDrive returns nullptr
    bool bNvme = false;
    bool bVersionOk = true;     // GetVersion's result
    bool bSmartCapable = true;  // kCapSmartCmd in the version record
    int nEnableError = 0;       // non-zero: SMART ENABLE OPERATIONS fails with this errno
    bool bGone = false;         // opens, then fails every call (the drive was pulled)
    // The data each command returns; nullopt fails the command, and a size other than the
    // command's own (512, or 4096 for Identify Controller) is a short transfer, a failure.
    std::optional<std::vector<std::uint8_t>> identify;       // IDENTIFY DEVICE
    std::optional<std::vector<std::uint8_t>> smartData;      // SMART READ DATA
    std::optional<std::vector<std::uint8_t>> nvmeIdentify;   // Identify Controller
    std::optional<std::vector<std::uint8_t>> nvmeHealthLog;  // log page 02h
};

enum class FakeCallKind {
    kOpen,
    kGetVersion,
    kSendCommand,
    kReceiveData,
    kNvmeIdentify,
    kNvmeGetLogPage,
};

struct FakeCall {
    std::uint8_t drive = 0;
    FakeCallKind kind = FakeCallKind::kOpen;
    AtaRegisters regs;       // kSendCommand, kReceiveData
    std::uint8_t logId = 0;  // kNvmeGetLogPage

    bool operator==(const FakeCall&) const = default;
};

class CFakeDriveSystem final : public IDriveSystem {
public:
    CFakeDriveSystem() = default;
    explicit CFakeDriveSystem(std::vector<FakeDrive> drives) : m_drives(std::move(drives)) {}

    std::unique_ptr<IDrive> OpenDrive(std::uint8_t number) override;

    // Drive `number`, there to be set up before the reader runs.
    FakeDrive& Drive(std::size_t number);
    // Every call so far, opens included, in order.
    const std::vector<FakeCall>& Calls() const { return m_calls; }
    // The calls that reached a drive: everything but the opens.
    std::vector<FakeCall> Commands() const;

private:
    friend class CFakeDrive;
    std::vector<FakeDrive> m_drives;
    std::vector<FakeCall> m_calls;
};

}  // namespace platform
