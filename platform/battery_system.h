// The battery device interface: find and open the first battery, ask it for its tag, its
// status, its information levels, and read the system's combined remaining-charge figure.
// The requests mirror the battery class driver's query interface so that CBatteryInfo reads
// the same values on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// The value a battery gives for a figure it does not know (capacities, voltage).
inline constexpr std::uint32_t kBatteryUnknownValue = 0xFFFFFFFF;
// The system's remaining-charge figure when it has none.
inline constexpr std::uint8_t kBatteryLifeUnknown = 255;

struct BatteryStatus {
    std::uint32_t voltage = kBatteryUnknownValue;  // millivolts
};

// The fields of the battery information level that are read.
struct BatteryInformation {
    std::uint32_t designedCapacity = kBatteryUnknownValue;     // mWh, unless relative
    std::uint32_t fullChargedCapacity = kBatteryUnknownValue;  // mWh, unless relative
    std::uint32_t cycleCount = 0;
    std::array<std::uint8_t, 4> chemistry{};  // ASCII, zero-padded, not zero-terminated
    // The capacities are figures on the battery's own relative scale, not mWh (the battery
    // class's BATTERY_CAPACITY_RELATIVE capability).
    bool bRelativeCapacity = false;
};

// The identity levels, answered as UTF-8 text.
enum class BatteryText { SerialNumber, ManufactureName, UniqueId, DeviceName };

// One opened battery device. It stays open as long as the object lives; every request
// fails (nullopt) when the driver refuses it, or when `tag` is 0 or not the battery's tag.
class IBatteryDevice {
public:
    virtual ~IBatteryDevice() = default;
    // The tag of the battery now in the slot, 0 when the slot is empty; nullopt on failure.
    [[nodiscard]] virtual std::optional<std::uint32_t> QueryTag() = 0;
    [[nodiscard]] virtual std::optional<BatteryStatus> QueryStatus(std::uint32_t tag) = 0;
    [[nodiscard]] virtual std::optional<BatteryInformation> QueryInformation(std::uint32_t tag) = 0;
    [[nodiscard]] virtual std::optional<std::string> QueryText(std::uint32_t tag,
                                                               BatteryText level) = 0;
    // Tenths of a kelvin.
    [[nodiscard]] virtual std::optional<std::uint32_t> QueryTemperature(std::uint32_t tag) = 0;
};

// The batteries of this machine. Abstract so that tests can hand in a fake.
class IBatterySystem {
public:
    virtual ~IBatterySystem() = default;
    // The first battery device the platform lists, opened. Where the device tells an empty
    // bay by its tag (Windows), the first whose tag is not 0. nullptr when there is none or it
    // cannot be opened.
    [[nodiscard]] virtual std::unique_ptr<IBatteryDevice> OpenFirstBattery() = 0;
    // The remaining charge of the system's batteries in percent (0 to 100), or
    // kBatteryLifeUnknown when there is no figure.
    [[nodiscard]] virtual std::uint8_t ReadBatteryLifePercent() = 0;
};

}  // namespace platform
