// The NVMe structures the drive page reads: Identify Controller (NVMe Base Specification
// 2.0, figure 275) and the SMART / Health Information log page 02h (figure 207). Their sizes
// are those of the commands that fetch them (platform/drive_system.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/drive_system.h"

namespace disk {

struct NvmeIdentity {
    std::string strModel;     // MN, bytes 24-63
    std::string strSerial;    // SN, bytes 4-23
    std::string strFirmware;  // FR, bytes 64-71
};

// The three blank-padded ASCII fields, each cut at a NUL and trimmed at both ends. nullopt
// unless `identify` is exactly 4096 bytes.
std::optional<NvmeIdentity> DecodeNvmeIdentity(std::span<const std::uint8_t> identify);

using NvmeCounter = std::array<std::uint8_t, 16>;  // 128-bit little-endian

struct NvmeHealth {
    std::uint8_t criticalWarning = 0;        // byte 0, one bit per warning
    std::uint16_t temperatureKelvin = 0;     // composite temperature, bytes 1-2
    std::uint8_t availableSparePercent = 0;  // byte 3
    std::uint8_t spareThresholdPercent = 0;  // byte 4: below it, the drive warns
    std::uint8_t percentageUsed = 0;         // byte 5, an estimate that may pass 100
    NvmeCounter powerCycles{};               // bytes 112-127
    NvmeCounter powerOnHours{};              // bytes 128-143
    NvmeCounter mediaErrors{};               // media and data integrity errors, bytes 160-175
};

// nullopt unless `log` is exactly 512 bytes.
std::optional<NvmeHealth> DecodeNvmeHealth(std::span<const std::uint8_t> log);

// The full decimal value of a 128-bit little-endian counter ("0" for zero).
std::string CounterToDecimal(const NvmeCounter& counter);

}  // namespace disk
