#include "platform/fake/fake_drive_system.h"

#include "platform/ata_commands.h"

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace platform {

class CFakeDrive final : public IDrive {
public:
    CFakeDrive(CFakeDriveSystem& system, std::uint8_t number)
        : m_system(system), m_byNumber(number) {}

    bool IsNvme() const override { return Setup().bNvme; }

    bool GetVersion(SmartVersion out) override {
        Record(FakeCallKind::kGetVersion);
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        const FakeDrive& drive = Setup();
        if (drive.bGone || !drive.bVersionOk) return false;
        out[0] = 1;
        out[1] = 1;
        if (drive.bSmartCapable) out[kSmartVersionCapsOffset] = kCapAtaIdCmd | kCapSmartCmd;
        return true;
    }

    bool SendCommand(const AtaRegisters& regs, int* errorCode) override {
        Record(FakeCallKind::kSendCommand, regs);
        const FakeDrive& drive = Setup();
        if (drive.bGone) return Fail(ENODEV, errorCode);
        const bool enable = IsSmartCommand(regs, kSmartEnableOperations);
        if (!enable || drive.bNvme) return Fail(EINVAL, errorCode);
        if (drive.nEnableError != 0) return Fail(drive.nEnableError, errorCode);
        *errorCode = 0;
        return true;
    }

    bool ReceiveData(const AtaRegisters& regs, AtaSector out) override {
        Record(FakeCallKind::kReceiveData, regs);
        const FakeDrive& drive = Setup();
        if (drive.bNvme) return Answer(std::nullopt, out);
        if (regs.command == kAtaIdentifyDevice) return Answer(drive.identify, out);
        if (IsSmartCommand(regs, kSmartReadData)) return Answer(drive.smartData, out);
        return Answer(std::nullopt, out);
    }

    bool NvmeIdentifyController(std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        Record(FakeCallKind::kNvmeIdentify);
        const FakeDrive& drive = Setup();
        return Answer(drive.bNvme ? drive.nvmeIdentify : std::nullopt, out);
    }

    bool NvmeGetLogPage(std::uint8_t logId,
                        std::span<std::uint8_t, kNvmeLogPageBytes> out) override {
        Record(FakeCallKind::kNvmeGetLogPage, {}, logId);
        const FakeDrive& drive = Setup();
        const bool health = drive.bNvme && logId == kNvmeLogSmartHealth;
        return Answer(health ? drive.nvmeHealthLog : std::nullopt, out);
    }

private:
    const FakeDrive& Setup() const { return m_system.m_drives[m_byNumber]; }

    void Record(FakeCallKind kind, const AtaRegisters& regs = {}, std::uint8_t logId = 0) {
        m_system.m_calls.push_back({m_byNumber, kind, regs, logId});
    }

    static bool Fail(int code, int* errorCode) {
        *errorCode = code;
        return false;
    }

    // Copies `data` into `out` when it is there and exactly fills it; otherwise `out`
    // holds whatever part came before the transfer broke off, and the call fails.
    bool Answer(const std::optional<std::vector<std::uint8_t>>& data,
                std::span<std::uint8_t> out) const {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        if (Setup().bGone || !data) return false;
        const std::size_t n = std::min(data->size(), out.size());
        std::copy_n(data->begin(), n, out.begin());
        return data->size() == out.size();
    }

    CFakeDriveSystem& m_system;
    std::uint8_t m_byNumber;
};

std::unique_ptr<IDrive> CFakeDriveSystem::OpenDrive(std::uint8_t number) {
    m_calls.push_back({number, FakeCallKind::kOpen, {}, 0});
    if (number >= m_drives.size() || !m_drives[number].bOpens) return nullptr;
    return std::make_unique<CFakeDrive>(*this, number);
}

FakeDrive& CFakeDriveSystem::Drive(std::size_t number) {
    if (number >= m_drives.size()) m_drives.resize(number + 1);
    return m_drives[number];
}

std::vector<FakeCall> CFakeDriveSystem::Commands() const {
    std::vector<FakeCall> commands;
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(commands),
                 [](const FakeCall& call) { return call.kind != FakeCallKind::kOpen; });
    return commands;
}

}  // namespace platform
