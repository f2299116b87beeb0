#include "cli/saved_drive.h"

#include "platform/ata_commands.h"

#include <algorithm>
#include <span>

namespace cli {
namespace {

// The code a drive's refusal of a command is reported with (as a saved drive has no system
// of its own, any nonzero value would do).
constexpr int kRefused = 5;

class CSavedDrive final : public platform::IDrive {
public:
    explicit CSavedDrive(const SavedDrive& drive) : m_drive(drive) {}

    bool IsNvme() const override { return m_drive.bNvme; }

    bool GetVersion(platform::SmartVersion out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        if (m_drive.bNvme) return false;  // an NVMe controller takes no ATA command
        out[0] = 1;
        out[1] = 1;
        out[platform::kSmartVersionCapsOffset] = platform::kCapAtaIdCmd | platform::kCapSmartCmd;
        return true;
    }

    bool SendCommand(const platform::AtaRegisters& regs, int* errorCode) override {
        const bool enable = platform::IsSmartCommand(regs, platform::kSmartEnableOperations);
        *errorCode = enable && !m_drive.bNvme ? 0 : kRefused;
        return *errorCode == 0;
    }

    bool ReceiveData(const platform::AtaRegisters& regs, platform::AtaSector out) override {
        if (m_drive.bNvme) return Answer({}, out);
        if (regs.command == platform::kAtaIdentifyDevice) return Answer(m_drive.identify, out);
        if (platform::IsSmartCommand(regs, platform::kSmartReadData))
            return Answer(m_drive.smartData, out);
        return Answer({}, out);
    }

    bool NvmeIdentifyController(
        std::span<std::uint8_t, platform::kNvmeIdentifyBytes> out) override {
        return Answer(m_drive.bNvme ? m_drive.nvmeIdentify : std::vector<std::uint8_t>{}, out);
    }

    bool NvmeGetLogPage(std::uint8_t logId,
                        std::span<std::uint8_t, platform::kNvmeLogPageBytes> out) override {
        const bool health = m_drive.bNvme && logId == platform::kNvmeLogSmartHealth;
        return Answer(health ? m_drive.nvmeHealthLog : std::vector<std::uint8_t>{}, out);
    }

    bool NvmeIdentifyNamespace(std::uint32_t nsid,
                               std::span<std::uint8_t, platform::kNvmeIdentifyBytes> out) override {
        const bool saved = m_drive.bNvme && nsid == 1;
        return Answer(saved ? m_drive.nvmeNamespace : std::vector<std::uint8_t>{}, out);
    }

private:
    // A saved page answers only when it fills the transfer exactly; anything else is a failed
    // command with nothing transferred.
    static bool Answer(const std::vector<std::uint8_t>& data, std::span<std::uint8_t> out) {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        if (data.size() != out.size()) return false;
        std::copy(data.begin(), data.end(), out.begin());
        return true;
    }

    const SavedDrive& m_drive;
};

}  // namespace

std::unique_ptr<platform::IDrive> CSavedDriveSystem::OpenDrive(std::uint8_t number) {
    if (number != 0) return nullptr;
    return std::make_unique<CSavedDrive>(m_drive);
}

}  // namespace cli
