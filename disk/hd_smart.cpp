#include "disk/hd_smart.h"

#include <algorithm>

#include "disk/drive_capacity.h"
#include "disk/nvme_health.h"
#include "disk/smart_attributes.h"
#include "platform/ata_commands.h"

namespace {

// The registers of the three commands, exactly as sent.
constexpr const platform::AtaRegisters& kSmartEnable = platform::kSmartEnableRegs;
constexpr const platform::AtaRegisters& kIdentifyDevice = platform::kIdentifyDeviceRegs;
constexpr const platform::AtaRegisters& kSmartReadData = platform::kSmartReadDataRegs;

constexpr int kKelvinAtZeroCelsius = 273;

bool TakesSmartCommands(const DriveSlot& slot) {
    std::uint32_t caps = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        caps |= std::uint32_t{slot.m_version[platform::kSmartVersionCapsOffset + i]} << (8 * i);
    }
    return (caps & platform::kCapSmartCmd) != 0;
}

}  // namespace

CHdSmart::CHdSmart(platform::IDriveSystem& drives) : m_pDrives(&drives) {
    static_cast<void>(ReadDrive(0));
}

bool CHdSmart::ReadDrive(std::uint8_t d) {
    if (d >= kDriveSlots) return false;
    const auto drive = m_pDrives->OpenDrive(d);
    if (!drive) return false;

    DriveSlot& slot = m_drive[d];
    bool ok = drive->GetVersion(slot.m_version);
    if (ok && TakesSmartCommands(slot)) {
        ok = EnableSmart(*drive, d);
        if (ok) {
            ok = ReadIdentify(*drive, d);
            // The counters are read whether or not the identify data came.
            ok = ReadAttributes(*drive, d);
        }
    } else if (drive->IsNvme()) {
        ok = ReadNvmeIdentify(*drive);
        ok = ReadNvmeHealth(*drive);
    }
    return ok;
}

bool CHdSmart::EnableSmart(platform::IDrive& drive, std::uint8_t d) {
    int errorCode = 0;
    if (drive.SendCommand(kSmartEnable, &errorCode)) return true;
    m_drive[d].m_strError = "Error " + std::to_string(errorCode) + " in reading SMART Enabled flag";
    return false;
}

bool CHdSmart::ReadIdentify(platform::IDrive& drive, std::uint8_t d) {
    std::array<std::uint8_t, platform::kAtaSectorBytes> sector{};
    if (!drive.ReceiveData(kIdentifyDevice, sector)) return false;
    auto& identify = m_drive[d].m_identify;
    std::copy_n(sector.begin(), identify.size(), identify.begin());
    const auto capacity = disk::AtaCapacity(sector);
    m_strCapacity = capacity ? disk::GigabytesText(*capacity) : std::string();
    disk::AtaIdentity identity = disk::ConvertIdentifyStrings(identify);
    m_strModel = std::move(identity.strModel);
    m_strSerial = std::move(identity.strSerial);
    m_strFirmware = std::move(identity.strFirmware);
    m_identityKind = DriveKind::kAta;
    return true;
}

bool CHdSmart::ReadAttributes(platform::IDrive& drive, std::uint8_t /*d*/) {
    std::array<std::uint8_t, platform::kAtaSectorBytes> sector{};
    if (!drive.ReceiveData(kSmartReadData, sector)) return false;
    const disk::SmartCounters counters = disk::WalkSmartAttributes(sector);
    if (counters.powerOnHours) m_strPowerOnHours = std::to_string(*counters.powerOnHours);
    if (counters.powerCycles) m_strPowerCycles = std::to_string(*counters.powerCycles);
    if (counters.temperatureCelsius) {
        m_strTemperature = std::to_string(*counters.temperatureCelsius);
    }
    if (counters.reallocatedSectors) {
        m_strReallocatedSectors = std::to_string(*counters.reallocatedSectors);
    }
    if (counters.pendingSectors) m_strPendingSectors = std::to_string(*counters.pendingSectors);
    if (counters.offlineUncorrectable) {
        m_strUncorrectableSectors = std::to_string(*counters.offlineUncorrectable);
    }
    return true;
}

bool CHdSmart::ReadNvmeIdentify(platform::IDrive& drive) {
    std::array<std::uint8_t, platform::kNvmeIdentifyBytes> identify{};
    if (!drive.NvmeIdentifyController(identify)) return false;
    auto identity = disk::DecodeNvmeIdentity(identify);
    if (!identity) return false;
    m_strModel = std::move(identity->strModel);
    m_strSerial = std::move(identity->strSerial);
    m_strFirmware = std::move(identity->strFirmware);
    auto capacity = disk::NvmeTotalCapacity(identify);
    if (!capacity) {
        // Controllers that report no total (TNVMCAP 0) still give the size of namespace 1.
        std::array<std::uint8_t, platform::kNvmeIdentifyBytes> nameSpace{};
        if (drive.NvmeIdentifyNamespace(1, nameSpace))
            capacity = disk::NvmeNamespaceCapacity(nameSpace);
    }
    m_strCapacity = capacity ? disk::GigabytesText(*capacity) : std::string();
    m_identityKind = DriveKind::kNvme;
    return true;
}

bool CHdSmart::ReadNvmeHealth(platform::IDrive& drive) {
    std::array<std::uint8_t, platform::kNvmeLogPageBytes> log{};
    if (!drive.NvmeGetLogPage(platform::kNvmeLogSmartHealth, log)) return false;
    const auto health = disk::DecodeNvmeHealth(log);
    if (!health) return false;
    m_strTemperature = std::to_string(int{health->temperatureKelvin} - kKelvinAtZeroCelsius);
    m_strPowerCycles = disk::CounterToDecimal(health->powerCycles);
    m_strPowerOnHours = disk::CounterToDecimal(health->powerOnHours);
    m_strPercentageUsed = std::to_string(health->percentageUsed);
    m_strAvailableSpare = std::to_string(health->availableSparePercent);
    m_strMediaErrors = disk::CounterToDecimal(health->mediaErrors);
    m_strSpareThreshold = std::to_string(health->spareThresholdPercent);
    m_strCriticalWarning = std::to_string(health->criticalWarning);
    return true;
}

void CHdSmart::FixAtaString(std::span<std::uint8_t> field) {
    disk::FixAtaString(field);
}
