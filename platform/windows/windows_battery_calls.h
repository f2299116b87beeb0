// The few Windows calls that reach a battery, behind small interfaces so that everything
// that builds a request or reads a reply can be tested with recorded replies on any system.
// The real calls live in windows_battery_calls_win32.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace platform {

// An open battery device (CreateFileW); closed when the object is destroyed.
class IBatteryHandle {
public:
    virtual ~IBatteryHandle() = default;
    // DeviceIoControl: sends `input`, offers `output` for the reply. The byte count the system
    // says it wrote into `output`; nullopt when the call failed. The count is the system's
    // word and is not checked here.
    [[nodiscard]] virtual std::optional<std::uint32_t> Control(std::uint32_t code,
                                                               std::span<const std::uint8_t> input,
                                                               std::span<std::uint8_t> output) = 0;
};

// More bays than any laptop has; the list is not read beyond them.
inline constexpr std::size_t kMaxBatteryInterfaces = 16;

class IBatteryCalls {
public:
    virtual ~IBatteryCalls() = default;
    // The device paths of the battery interfaces of present devices (SetupDi), in the order
    // listed, at most kMaxBatteryInterfaces; empty when there is none or no list can be had.
    // An interface whose path cannot be read is left out.
    [[nodiscard]] virtual std::vector<std::u16string> BatteryInterfacePaths() = 0;
    // Opens the device at `path` for reading and writing; nullptr when it cannot be opened.
    [[nodiscard]] virtual std::unique_ptr<IBatteryHandle> OpenBattery(
        const std::u16string& path) = 0;
    // The 12 bytes of SYSTEM_POWER_STATUS; nullopt when GetSystemPowerStatus failed.
    [[nodiscard]] virtual std::optional<std::array<std::uint8_t, 12>> SystemPowerStatus() = 0;
};

// The real calls (Windows build only).
std::unique_ptr<IBatteryCalls> MakeWin32BatteryCalls();

}  // namespace platform
