// The battery class driver's requests and replies as bytes: what goes into and comes out of
// DeviceIoControl on a battery device, and the SYSTEM_POWER_STATUS record. Works on byte
// spans only (no system header), so it builds and is tested on every system; the layouts
// are pinned against the Windows headers in battery_layout_win32.cpp.
//
// Each parser takes exactly the bytes the system said it returned. A reply too short for
// the field it must carry is refused (nullopt): the request then counts as failed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/battery_system.h"

namespace platform::battery_ioctl {

// CTL_CODE(FILE_DEVICE_BATTERY 0x29, function, METHOD_BUFFERED 0, FILE_READ_ACCESS 1):
// 0x29 << 16 | 1 << 14 | function << 2.
inline constexpr std::uint32_t kIoctlQueryTag = 0x294040;          // function 0x10
inline constexpr std::uint32_t kIoctlQueryInformation = 0x294044;  // function 0x11
inline constexpr std::uint32_t kIoctlQueryStatus = 0x29404C;       // function 0x13

// BATTERY_QUERY_INFORMATION_LEVEL values that are asked for.
enum class InformationLevel : std::uint32_t {
    Information = 0,
    Temperature = 2,
    DeviceName = 4,
    ManufactureName = 6,
    UniqueId = 7,
    SerialNumber = 8,
};
InformationLevel LevelOf(BatteryText text);

// Sizes of the records (the same on x86 and x64: every field is 32 bits or bytes).
inline constexpr std::size_t kTagWaitBytes = 4;             // ULONG wait time in ms
inline constexpr std::size_t kTagBytes = 4;                 // ULONG BatteryTag
inline constexpr std::size_t kQueryInformationBytes = 12;   // BATTERY_QUERY_INFORMATION
inline constexpr std::size_t kWaitStatusBytes = 20;         // BATTERY_WAIT_STATUS
inline constexpr std::size_t kStatusBytes = 16;             // BATTERY_STATUS
inline constexpr std::size_t kInformationBytes = 36;        // BATTERY_INFORMATION
inline constexpr std::size_t kTemperatureBytes = 4;         // ULONG, tenths of a kelvin
inline constexpr std::size_t kTextReplyBytes = 200;         // the buffer offered for a text
inline constexpr std::size_t kSystemPowerStatusBytes = 12;  // SYSTEM_POWER_STATUS

// Field offsets that the parsers read.
inline constexpr std::size_t kInformationCapabilitiesOffset = 0x00;
inline constexpr std::size_t kStatusVoltageOffset = 0x08;
inline constexpr std::size_t kInformationChemistryOffset = 0x08;
inline constexpr std::size_t kInformationDesignedCapacityOffset = 0x0C;
inline constexpr std::size_t kInformationFullChargedCapacityOffset = 0x10;
inline constexpr std::size_t kInformationCycleCountOffset = 0x20;
inline constexpr std::size_t kBatteryLifePercentOffset = 0x02;

// BATTERY_INFORMATION's Capabilities flag for capacities on a relative scale, not in mWh.
inline constexpr std::uint32_t kCapacityRelative = 0x40000000;

// The tag request's input: how long the driver may wait for a battery (0: answer at once).
std::array<std::uint8_t, kTagWaitBytes> BuildTagWait(std::uint32_t waitMilliseconds);
// BATTERY_QUERY_INFORMATION for `tag` and `level`, AtRate 0.
std::array<std::uint8_t, kQueryInformationBytes> BuildQueryInformation(std::uint32_t tag,
                                                                       InformationLevel level);
// BATTERY_WAIT_STATUS for `tag` with Timeout, PowerState, LowCapacity and HighCapacity 0:
// the present status, without waiting for a change.
std::array<std::uint8_t, kWaitStatusBytes> BuildWaitStatus(std::uint32_t tag);

// The tag; nullopt when the reply is shorter than 4 bytes.
std::optional<std::uint32_t> ParseTag(std::span<const std::uint8_t> reply);
// BATTERY_STATUS's Voltage (millivolts); nullopt when the reply is shorter than 16 bytes.
std::optional<BatteryStatus> ParseStatus(std::span<const std::uint8_t> reply);
// BATTERY_INFORMATION's relative-capacity flag, capacities, cycle count and chemistry;
// nullopt when the reply is shorter than 36 bytes.
std::optional<BatteryInformation> ParseInformation(std::span<const std::uint8_t> reply);
// A text level: UTF-16LE up to the first zero unit, never past the reply nor 200 bytes (an
// odd last byte is no unit), as UTF-8. A reply of no bytes is an empty text.
std::string ParseText(std::span<const std::uint8_t> reply);
// The temperature in tenths of a kelvin; nullopt when the reply is shorter than 4 bytes.
std::optional<std::uint32_t> ParseTemperature(std::span<const std::uint8_t> reply);
// SYSTEM_POWER_STATUS's BatteryLifePercent (255: no figure); nullopt when the record is
// shorter than 12 bytes.
std::optional<std::uint8_t> ParseBatteryLifePercent(std::span<const std::uint8_t> record);

// UTF-16LE bytes as UTF-8; an unpaired surrogate or a C1 control (U+0080-U+009F) becomes
// "?", an odd last byte is dropped.
std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes);

}  // namespace platform::battery_ioctl
