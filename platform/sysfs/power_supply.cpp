#include "platform/sysfs/power_supply.h"

#include <algorithm>
#include <charconv>
#include <cstddef>

namespace platform::power_supply {
namespace {

// The identity replies are 200-byte buffers of UTF-16 text with a terminating zero unit; a
// longer text is refused by the driver rather than cut.
constexpr std::size_t kMaxTextUnits = 200 / 2 - 1;
// temp is in tenths of a degree Celsius; the battery interface answers tenths of a kelvin.
constexpr std::int64_t kZeroCelsiusDeciKelvin = 2732;
// No battery in use is colder or hotter than this; a driver that says so (some embedded
// controllers report -270.2 C) has no reading, and a made-up one would mislead the buyer.
constexpr std::int32_t kMinDeciCelsius = -1000;
constexpr std::int32_t kMaxDeciCelsius = 2000;

std::optional<std::int32_t> ReadInt(const Attributes& attributes, std::string_view name) {
    const auto text = attributes(name);
    if (!text) return std::nullopt;
    return ParseInt(*text);
}

// A text attribute compared as a word: trailing blanks and line ends do not count.
std::optional<std::string> ReadWord(const Attributes& attributes, std::string_view name) {
    auto text = attributes(name);
    if (!text) return std::nullopt;
    while (!text->empty() && (text->back() == ' ' || text->back() == '\t' || text->back() == '\r' ||
                              text->back() == '\n')) {
        text->pop_back();
    }
    return text;
}

// energy_* is in µWh: whole mWh, rounded down.
std::optional<std::uint32_t> EnergyMwh(const Attributes& attributes, std::string_view name) {
    const auto microWattHours = ReadInt(attributes, name);
    if (!microWattHours || *microWattHours < 0) return std::nullopt;
    return static_cast<std::uint32_t>(*microWattHours / 1000);
}

// The voltage that turns charge into energy: the design voltage, falling back as UPower does
// (voltage_min_design, then voltage_max_design, then voltage_now), in µV.
std::optional<std::int32_t> DesignMicrovolts(const Attributes& attributes) {
    for (const char* name : {"voltage_min_design", "voltage_max_design", "voltage_now"}) {
        const auto microVolts = ReadInt(attributes, name);
        if (microVolts && *microVolts > 0) return microVolts;
    }
    return std::nullopt;
}

// charge_* is in µAh: times µV gives 10^-12 Wh, so divide by 10^9 for mWh, rounded down.
std::optional<std::uint32_t> ChargeMwh(const Attributes& attributes, std::string_view name) {
    const auto microAmpHours = ReadInt(attributes, name);
    if (!microAmpHours || *microAmpHours < 0) return std::nullopt;
    const auto microVolts = DesignMicrovolts(attributes);
    if (!microVolts) return std::nullopt;
    // Both factors are below 2^31, so the product fits 64 bits; the quotient may not fit 32.
    const std::uint64_t mwh = static_cast<std::uint64_t>(*microAmpHours) *
                              static_cast<std::uint64_t>(*microVolts) / 1'000'000'000u;
    if (mwh >= kBatteryUnknownValue) return std::nullopt;
    return static_cast<std::uint32_t>(mwh);
}

std::uint32_t CapacityMwh(const Attributes& attributes, std::string_view energyName,
                          std::string_view chargeName) {
    if (const auto mwh = EnergyMwh(attributes, energyName)) return *mwh;
    if (const auto mwh = ChargeMwh(attributes, chargeName)) return *mwh;
    return kBatteryUnknownValue;
}

std::array<std::uint8_t, 4> ChemistryCode(std::string_view technology) {
    struct Code {
        std::string_view technology;
        std::array<std::uint8_t, 4> code;  // zero-filled after a shorter code
    };
    // The kernel's technology names against the battery interface's chemistry codes.
    static constexpr Code kCodes[] = {
        {"Li-ion", {'L', 'I', 'O', 'N'}}, {"Li-poly", {'L', 'i', 'P'}},
        {"LiFe", {'L', 'i', 'F', 'e'}},   {"LiMn", {'L', 'i', 'M', 'n'}},
        {"NiMH", {'N', 'i', 'M', 'H'}},   {"NiCd", {'N', 'i', 'C', 'd'}},
    };
    for (const Code& c : kCodes) {
        if (c.technology == technology) return c.code;
    }
    return {};
}

// A string attribute as the driver would return it: up to the first zero byte.
std::optional<std::string> ReadText(const Attributes& attributes, std::string_view name) {
    auto text = attributes(name);
    if (text) text->resize(std::min(text->size(), text->find('\0')));
    return text;
}

// UTF-16 units the UTF-8 text takes; a malformed byte counts as the one unit it becomes.
std::size_t Utf16Units(std::string_view utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) ++units;  // every byte that is not a continuation byte
        if (b >= 0xF0) ++units;           // four-byte sequences need a surrogate pair
    }
    return units;
}

// Remaining and full charge of one battery in the same unit (µWh or µAh), full above 0.
struct ChargePair {
    std::int64_t now;
    std::int64_t full;
};

std::optional<ChargePair> ReadPair(const Attributes& attributes, std::string_view nowName,
                                   std::string_view fullName) {
    const auto now = ReadInt(attributes, nowName);
    const auto full = ReadInt(attributes, fullName);
    if (!now || !full || *now < 0 || *full <= 0) return std::nullopt;
    return ChargePair{*now, *full};
}

// In µWh, so that batteries reporting energy and batteries reporting charge can be added.
std::optional<ChargePair> EnergyPair(const Attributes& attributes) {
    if (auto pair = ReadPair(attributes, "energy_now", "energy_full")) return pair;
    auto pair = ReadPair(attributes, "charge_now", "charge_full");
    const auto microVolts = DesignMicrovolts(attributes);
    if (!pair || !microVolts) return std::nullopt;
    return ChargePair{pair->now * *microVolts / 1'000'000, pair->full * *microVolts / 1'000'000};
}

std::uint8_t Percent(std::int64_t now, std::int64_t full) {
    if (full <= 0) return kBatteryLifeUnknown;
    // A battery charged past its last full figure is full.
    return static_cast<std::uint8_t>(std::min<std::int64_t>(now * 100 / full, 100));
}

}  // namespace

std::string_view StripLineEnd(std::string_view text) {
    if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    return text;
}

std::optional<std::string> UeventValue(std::string_view uevent, std::string_view name) {
    std::string key = "POWER_SUPPLY_";
    for (const char c : name) {
        key.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    key.push_back('=');
    while (!uevent.empty()) {
        const std::size_t end = std::min(uevent.find('\n'), uevent.size());
        const std::string_view line = uevent.substr(0, end);
        if (line.starts_with(key)) return std::string(line.substr(key.size()));
        uevent.remove_prefix(std::min(end + 1, uevent.size()));
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.remove_suffix(1);
    }
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

bool IsSystemBattery(const Attributes& attributes) {
    return ReadWord(attributes, "type") == "Battery" && ReadWord(attributes, "scope") != "Device";
}

bool IsPresent(const Attributes& attributes) {
    const auto present = attributes("present");
    return !present || ParseInt(*present) == 1;
}

std::uint32_t VoltageMillivolts(const Attributes& attributes) {
    const auto microVolts = ReadInt(attributes, "voltage_now");
    if (!microVolts || *microVolts < 0) return kBatteryUnknownValue;
    return static_cast<std::uint32_t>(*microVolts / 1000);
}

std::optional<BatteryInformation> Information(const Attributes& attributes) {
    BatteryInformation info;
    info.designedCapacity = CapacityMwh(attributes, "energy_full_design", "charge_full_design");
    info.fullChargedCapacity = CapacityMwh(attributes, "energy_full", "charge_full");
    if (info.designedCapacity == kBatteryUnknownValue &&
        info.fullChargedCapacity == kBatteryUnknownValue) {
        return std::nullopt;
    }
    if (const auto text = attributes("cycle_count")) {
        const auto cycles = ParseInt(*text);
        if (!cycles || *cycles < -1) return std::nullopt;
        // -1 is how the kernel prints the ACPI "unknown" value; keep it as that value.
        info.cycleCount =
            *cycles == -1 ? kBatteryUnknownValue : static_cast<std::uint32_t>(*cycles);
    }
    if (const auto technology = ReadWord(attributes, "technology")) {
        info.chemistry = ChemistryCode(*technology);
    }
    return info;
}

std::optional<std::string> Text(const Attributes& attributes, BatteryText level) {
    std::optional<std::string> text;
    switch (level) {
        case BatteryText::SerialNumber:
            text = ReadText(attributes, "serial_number");
            break;
        case BatteryText::ManufactureName:
            text = ReadText(attributes, "manufacturer");
            break;
        case BatteryText::DeviceName:
            text = ReadText(attributes, "model_name");
            break;
        case BatteryText::UniqueId:
            // As the ACPI battery driver builds it: serial, manufacturer and model joined.
            for (const char* name : {"serial_number", "manufacturer", "model_name"}) {
                if (const auto part = ReadText(attributes, name)) {
                    text = text.value_or(std::string()) + *part;
                }
            }
            break;
    }
    if (text && Utf16Units(*text) > kMaxTextUnits) return std::nullopt;
    return text;
}

std::optional<std::uint32_t> TemperatureDeciKelvin(const Attributes& attributes) {
    const auto deciCelsius = ReadInt(attributes, "temp");
    if (!deciCelsius || *deciCelsius < kMinDeciCelsius || *deciCelsius > kMaxDeciCelsius) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*deciCelsius + kZeroCelsiusDeciKelvin);
}

std::uint8_t LifePercent(std::span<const Attributes> presentSystemBatteries) {
    if (presentSystemBatteries.empty()) return kBatteryLifeUnknown;
    if (presentSystemBatteries.size() == 1) {
        const Attributes& battery = presentSystemBatteries.front();
        const auto capacity = ReadInt(battery, "capacity");
        if (capacity && *capacity >= 0 && *capacity <= 100) {
            return static_cast<std::uint8_t>(*capacity);
        }
        auto pair = ReadPair(battery, "energy_now", "energy_full");
        if (!pair) pair = ReadPair(battery, "charge_now", "charge_full");
        return pair ? Percent(pair->now, pair->full) : kBatteryLifeUnknown;
    }
    // Several batteries: their energies added. One without a figure leaves no honest sum.
    std::int64_t now = 0;
    std::int64_t full = 0;
    for (const Attributes& battery : presentSystemBatteries) {
        const auto pair = EnergyPair(battery);
        if (!pair) return kBatteryLifeUnknown;
        now += pair->now;
        full += pair->full;
    }
    return Percent(now, full);
}

}  // namespace platform::power_supply
