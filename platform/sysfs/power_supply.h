// The battery requests answered from the attributes of a Linux power_supply device
// (Documentation/ABI/testing/sysfs-class-power). Works on attribute texts only, so it runs in
// tests without files; power_supply_folder.cpp supplies the texts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/battery_system.h"

namespace platform::power_supply {

// The text of attribute `name` (e.g. "voltage_now") with the line end that sysfs adds taken
// off, or nullopt when the device has no such attribute.
using Attributes = std::function<std::optional<std::string>(std::string_view name)>;

// The tag the first battery seen in a slot gets; the next one gets the next number.
inline constexpr std::uint32_t kPresentTag = 1;

// An attribute file's content without its one trailing line feed.
std::string_view StripLineEnd(std::string_view text);
// The value of POWER_SUPPLY_<NAME> in the text of a uevent file; nullopt when absent.
std::optional<std::string> UeventValue(std::string_view uevent, std::string_view name);
// A decimal integer as the kernel prints one (optional minus, digits, optional trailing
// blanks or line ends) that fits in 32 bits; nullopt for anything else.
std::optional<std::int32_t> ParseInt(std::string_view text);

// Type "Battery" and a scope other than "Device".
bool IsSystemBattery(const Attributes& attributes);
// "present" reads 1, or the attribute is missing (the kernel ABI counts that as present).
bool IsPresent(const Attributes& attributes);

// voltage_now in millivolts, rounded down; kBatteryUnknownValue when missing or unusable.
std::uint32_t VoltageMillivolts(const Attributes& attributes);
// Capacities in mWh (unknown when they cannot be had), cycle count and chemistry code;
// nullopt when neither capacity can be had or cycle_count is unusable.
std::optional<BatteryInformation> Information(const Attributes& attributes);
// serial_number, manufacturer, model_name, or all three joined for the unique ID; nullopt
// when missing, or when the text would not fit the driver's 200-byte UTF-16 reply.
std::optional<std::string> Text(const Attributes& attributes, BatteryText level);
// temp (tenths of a degree Celsius) + 2732; nullopt when missing, unusable or outside
// -100 to 200 degrees Celsius.
std::optional<std::uint32_t> TemperatureDeciKelvin(const Attributes& attributes);
// The combined remaining charge of the present system batteries, 0 to 100, or
// kBatteryLifeUnknown when there is no figure.
std::uint8_t LifePercent(std::span<const Attributes> presentSystemBatteries);

}  // namespace platform::power_supply
