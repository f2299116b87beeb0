#include "battery/battery_info.h"

#include <utility>

#include "text/gbk.h"
#include "text/page_text.h"

namespace {

using platform::kBatteryUnknownValue;

// "%d" of a 32-bit value: its bits read as a signed number, so all bits set shows -1.
std::string Signed(std::uint32_t value) {
    return std::to_string(static_cast<std::int32_t>(value));
}

// A capacity or cycle count as "%d" prints it; one the battery does not know (all bits set:
// ACPI's "unknown", the kernel's -1) has no figure to show, not -1.
std::string KnownOrEmpty(std::uint32_t value) {
    return value == kBatteryUnknownValue ? std::string() : Signed(value);
}

// Wear in whole percent: (1 - full / design) * 100, each step rounded to double precision,
// then truncated toward zero. So 45000 of 50000 gives 9: 1 - 0.9 is 0.09999999999999998.
// Below zero (full above design) is 0; a design capacity of 0 gives 0.
int WearPercent(std::uint32_t full, std::uint32_t design) {
    if (design == 0) return 0;
    const double ratio = static_cast<double>(full) / static_cast<double>(design);
    const double lost = 1.0 - ratio;
    const double percent = lost * 100.0;
    return percent > 0.0 ? static_cast<int>(percent) : 0;
}

// The chemistry code's four bytes, up to the first zero byte.
std::string Chemistry(const std::array<std::uint8_t, 4>& code) {
    std::string chemistry;
    for (const std::uint8_t c : code) {
        if (c == 0) break;
        chemistry.push_back(static_cast<char>(c));
    }
    return chemistry;
}

}  // namespace

CBatteryInfo::CBatteryInfo(platform::IBatterySystem& batteries) : m_batteries(batteries) {
    OpenBattery();
    QueryBattery();
}

void CBatteryInfo::OpenBattery() {
    m_hBattery.reset();
    m_ulTag = 0;
    m_hBattery = m_batteries.OpenFirstBattery();
    if (!m_hBattery) return;
    // A failed request, or tag 0 (an empty slot), leaves no tag: the status request then fails.
    m_ulTag = m_hBattery->QueryTag().value_or(0);
}

void CBatteryInfo::QueryBattery() {
    const auto status = m_hBattery ? m_hBattery->QueryStatus(m_ulTag) : std::nullopt;
    if (!status) {
        m_hBattery.reset();
        m_ulTag = 0;
        ClearTexts();
        return;
    }
    // A battery that does not know its voltage has none to show (not 4294967.295000).
    if (status->voltage != kBatteryUnknownValue) m_strVoltage = text::Volts(status->voltage);

    // The system's combined figure; 255 is its "no figure", which is no percentage either.
    const std::uint8_t remaining = m_batteries.ReadBatteryLifePercent();
    if (remaining != platform::kBatteryLifeUnknown) m_strRemaining = std::to_string(remaining);

    if (const auto info = m_hBattery->QueryInformation(m_ulTag)) {
        m_strFullCapacity = KnownOrEmpty(info->fullChargedCapacity);
        m_strDesignCapacity = KnownOrEmpty(info->designedCapacity);
        // Relative capacities are on the battery's own scale; their ratio, the wear, is the
        // same as in mWh.
        m_bRelativeCapacity = info->bRelativeCapacity;
        // A wear computed from an unknown capacity would be a made-up number.
        if (info->fullChargedCapacity != kBatteryUnknownValue &&
            info->designedCapacity != kBatteryUnknownValue) {
            m_strWear =
                std::to_string(WearPercent(info->fullChargedCapacity, info->designedCapacity));
        }
        m_strCycleCount = KnownOrEmpty(info->cycleCount);
        m_strChemistry = Chemistry(info->chemistry);
    }

    const std::pair<platform::BatteryText, std::string*> kTexts[] = {
        {platform::BatteryText::SerialNumber, &m_strSerialNumber},
        {platform::BatteryText::ManufactureName, &m_strManufacturer},
        {platform::BatteryText::UniqueId, &m_strUniqueId},
        {platform::BatteryText::DeviceName, &m_strDeviceName},
    };
    for (const auto& [level, member] : kTexts) {
        if (const auto utf8 = m_hBattery->QueryText(m_ulTag, level))
            *member = text::Utf8ToGbk(*utf8);
    }

    const auto temperature = m_hBattery->QueryTemperature(m_ulTag);
    m_strTemperature = temperature ? Signed(*temperature) : "-";
}

void CBatteryInfo::ClearTexts() {
    m_bRelativeCapacity = false;
    for (std::string* member :
         {&m_strTemperature, &m_strCycleCount, &m_strWear, &m_strChemistry, &m_strDeviceName,
          &m_strUniqueId, &m_strManufacturer, &m_strSerialNumber, &m_strDesignCapacity,
          &m_strFullCapacity, &m_strVoltage, &m_strRemaining}) {
        member->clear();
    }
}
