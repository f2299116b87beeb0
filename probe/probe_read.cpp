#include "probe/probe_read.h"

#include <array>

#include "platform/ata_commands.h"
#include "platform/file_io.h"
#include "platform/nvme_commands.h"
#include "probe/recorded_drive.h"

namespace probe {
namespace {

// The registers of the reader's three ATA commands, as the reader sends them.
constexpr const platform::AtaRegisters& kSmartEnable = platform::kSmartEnableRegs;
constexpr const platform::AtaRegisters& kIdentifyDevice = platform::kIdentifyDeviceRegs;
constexpr const platform::AtaRegisters& kSmartReadData = platform::kSmartReadDataRegs;

bool TakesSmartCommands(std::span<const std::uint8_t, platform::kSmartVersionBytes> version) {
    std::uint32_t caps = 0;
    for (std::size_t i = 0; i < 4; ++i)
        caps |= std::uint32_t{version[platform::kSmartVersionCapsOffset + i]} << (8 * i);
    return (caps & platform::kCapSmartCmd) != 0;
}

}  // namespace

void SendDriveCommands(platform::IDriveSystem& drives) {
    const auto drive = drives.OpenDrive(0);
    if (!drive) return;
    std::array<std::uint8_t, platform::kSmartVersionBytes> version{};
    if (drive->GetVersion(version) && TakesSmartCommands(version)) {
        int errorCode = 0;
        if (!drive->SendCommand(kSmartEnable, &errorCode)) return;
        std::array<std::uint8_t, platform::kAtaSectorBytes> sector{};
        static_cast<void>(drive->ReceiveData(kIdentifyDevice, sector));
        static_cast<void>(drive->ReceiveData(kSmartReadData, sector));
    } else if (drive->IsNvme()) {
        std::array<std::uint8_t, platform::kNvmeIdentifyBytes> identify{};
        if (drive->NvmeIdentifyController(identify))
            static_cast<void>(
                drive->NvmeIdentifyNamespace(platform::kNvmeFirstNamespace, identify));
        std::array<std::uint8_t, platform::kNvmeLogPageBytes> log{};
        static_cast<void>(drive->NvmeGetLogPage(platform::kNvmeLogSmartHealth, log));
    }
}

ProbeData ReadProbeData(const std::string& dmiDir, platform::IDriveSystem& drives) {
    ProbeData data;
    // Each read yields one byte more than its limit when the file is longer, so the window
    // tells a table that is too large just as a direct read would.
    data.smbiosEntryPoint =
        platform::ReadFileBytes(dmiDir + "/smbios_entry_point", kMaxEntryPointBytes - 1);
    data.smbiosTable = platform::ReadFileBytes(dmiDir + "/DMI", kMaxTableBytes - 1);
    platform::CRecordingDriveSystem recorder(drives);
    SendDriveCommands(recorder);
    data.drives = recorder.Records();
    return data;
}

}  // namespace probe
