// The physical drives: finding drive number d, and the few commands the SMART reader sends
// to it. ATA drives get IDENTIFY DEVICE and SMART (ENABLE OPERATIONS, READ DATA); NVMe
// controllers get Identify Controller, Identify Namespace of namespace 1 and Get Log Page.
// Nothing else reaches a drive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace platform {

// The version record: 24 bytes laid out like the SMART pass-through's GETVERSIONINPARAMS.
//   0x00 version   0x01 revision   0x02 reserved   0x03 IDE device map
//   0x04 capabilities (32-bit little-endian)       0x08 16 reserved bytes
inline constexpr std::size_t kSmartVersionBytes = 24;
inline constexpr std::size_t kSmartVersionCapsOffset = 0x04;
inline constexpr std::uint32_t kCapAtaIdCmd = 0x00000001;
inline constexpr std::uint32_t kCapSmartCmd = 0x00000004;

// The sizes of the pages the commands move, for the decoders in disk/ as well.
inline constexpr std::size_t kAtaSectorBytes = 512;      // IDENTIFY DEVICE, SMART READ DATA
inline constexpr std::size_t kNvmeIdentifyBytes = 4096;  // Identify Controller, Namespace
inline constexpr std::size_t kNvmeLogPageBytes = 512;    // the SMART / Health log, 02h
inline constexpr std::uint8_t kNvmeLogSmartHealth = 0x02;

using SmartVersion = std::span<std::uint8_t, kSmartVersionBytes>;
using AtaSector = std::span<std::uint8_t, kAtaSectorBytes>;

// The task-file registers of one 28-bit ATA command, named after their LBA meaning (ACS-3
// 7.1): what the legacy IDE register set calls sector number, cylinder low / high and
// drive/head.
struct AtaRegisters {
    std::uint8_t features = 0;
    std::uint8_t sectorCount = 0;
    std::uint8_t lbaLow = 0;   // sector number
    std::uint8_t lbaMid = 0;   // cylinder low
    std::uint8_t lbaHigh = 0;  // cylinder high
    std::uint8_t device = 0;   // drive/head
    std::uint8_t command = 0;

    bool operator==(const AtaRegisters&) const = default;
};

// One opened drive. Every call blocks until the drive has answered.
class IDrive {
public:
    virtual ~IDrive() = default;

    // True for an NVMe controller, which takes the NVMe calls below and no ATA command.
    virtual bool IsNvme() const = 0;

    // Fills `out` with the version record; the capabilities carry kCapSmartCmd when the
    // drive takes ATA SMART commands. False when the drive does not answer the request.
    [[nodiscard]] virtual bool GetVersion(SmartVersion out) = 0;
    // Sends a command that moves no data. False on failure, with the system's own error code
    // for it in `*errorCode` (the code the system reports when the drive itself rejected the
    // command, too).
    [[nodiscard]] virtual bool SendCommand(const AtaRegisters& regs, int* errorCode) = 0;
    // Sends a command that returns one 512-byte sector into `out`. False on failure,
    // including a short transfer.
    [[nodiscard]] virtual bool ReceiveData(const AtaRegisters& regs, AtaSector out) = 0;

    // Identify Controller (CNS 01h). False on failure or a short transfer.
    [[nodiscard]] virtual bool NvmeIdentifyController(
        std::span<std::uint8_t, kNvmeIdentifyBytes> out) = 0;
    // Get Log Page `logId` for all namespaces, 512 bytes. False on failure.
    [[nodiscard]] virtual bool NvmeGetLogPage(std::uint8_t logId,
                                              std::span<std::uint8_t, kNvmeLogPageBytes> out) = 0;
    // Identify Namespace (CNS 00h) of namespace `nsid`, 4096 bytes: for the size of a drive
    // whose controller reports no total capacity (the probe and --save ask for it whenever
    // Identify Controller answered). False on failure; a drive that has no way to send it
    // refuses it, and live drives refuse every namespace but the first (kNvmeFirstNamespace).
    [[nodiscard]] virtual bool NvmeIdentifyNamespace(
        std::uint32_t nsid, std::span<std::uint8_t, kNvmeIdentifyBytes> out) {
        (void)nsid;
        (void)out;
        return false;
    }
};

// The machine's physical drives, numbered from 0.
class IDriveSystem {
public:
    virtual ~IDriveSystem() = default;
    // Opens drive `number`; nullptr when there is no such drive or it cannot be opened.
    // The drive is closed when the returned object goes.
    [[nodiscard]] virtual std::unique_ptr<IDrive> OpenDrive(std::uint8_t number) = 0;
};

}  // namespace platform
