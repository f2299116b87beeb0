// CHdSmart: the identity, three SMART counters and the wear of the first physical drive,
// read once, at construction, into finished page texts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "disk/ata_identify.h"
#include "platform/drive_system.h"

// What the reader keeps of one drive number.
struct DriveSlot {
    std::array<std::uint8_t, platform::kSmartVersionBytes> m_version{};  // the version record
    // Words 0-127 of IDENTIFY DEVICE, the three text fields converted in place.
    std::array<std::uint8_t, disk::kIdentifyKeptBytes> m_identify{};
    std::string m_strError;  // the last failed SMART enable, or empty
};

// The kind of drive whose identity the reader took.
enum class DriveKind : std::uint8_t {
    kNone,  // no identity read
    kAta,   // IDENTIFY DEVICE answered
    kNvme,  // Identify Controller answered
};

class CHdSmart {
public:
    static constexpr std::size_t kDriveSlots = 32;

    // Reads drive 0 of `drives`. `drives` must outlive every later ReadDrive call.
    explicit CHdSmart(platform::IDriveSystem& drives);

    // Reads drive `d`: its version record, and when it takes SMART commands, SMART enable,
    // identify and attributes (an NVMe controller: Identify Controller and the health log).
    // False when the drive cannot be opened, `d` has no slot (32 or more), the enable
    // failed, or the last read failed; true for a drive without SMART commands.
    bool ReadDrive(std::uint8_t d);
    // SMART ENABLE OPERATIONS. On failure the slot's error text holds the error code.
    bool EnableSmart(platform::IDrive& drive, std::uint8_t d);
    // IDENTIFY DEVICE into the slot and the model, serial, firmware and capacity texts.
    bool ReadIdentify(platform::IDrive& drive, std::uint8_t d);
    // SMART READ DATA into the power-on hours, power cycles and temperature texts and the
    // three ATA wear texts.
    bool ReadAttributes(platform::IDrive& drive, std::uint8_t d);
    // Identify Controller into the model, serial, firmware and capacity (TNVMCAP) texts.
    bool ReadNvmeIdentify(platform::IDrive& drive);
    // The SMART / Health log into the temperature, power cycles and power-on hours texts and
    // the five NVMe wear texts.
    bool ReadNvmeHealth(platform::IDrive& drive);

    // The ATA string conversion of disk::FixAtaString, in place.
    static void FixAtaString(std::span<std::uint8_t> field);

    std::string m_strFirmware;
    std::string m_strSerial;
    std::string m_strModel;
    std::string m_strTemperature;  // degrees Celsius
    std::string m_strPowerOnHours;
    std::string m_strPowerCycles;
    // Wear of an ATA drive, decimal: attributes 5 (its count), 197 and 198.
    std::string m_strReallocatedSectors;
    std::string m_strPendingSectors;
    std::string m_strUncorrectableSectors;
    // Wear of an NVMe drive, decimal: percentage used, available spare (percent), media
    // and data integrity errors (all 128 bits); the page does not show the last two, the
    // spare's threshold (percent) and the critical-warning byte, which the verdict judges.
    std::string m_strPercentageUsed;
    std::string m_strAvailableSpare;
    std::string m_strMediaErrors;
    std::string m_strSpareThreshold;
    std::string m_strCriticalWarning;
    // The user capacity of the drive whose identity was read, in decimal gigabytes with one
    // decimal; empty when its identify data does not give it.
    std::string m_strCapacity;
    // Whose identity was read last: the hard-disk page shows the wear lines of that kind.
    DriveKind m_identityKind = DriveKind::kNone;
    std::array<DriveSlot, kDriveSlots> m_drive;

private:
    platform::IDriveSystem* m_pDrives;
};
