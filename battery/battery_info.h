// CBatteryInfo: the first battery, opened and read once, at construction, into finished page
// texts (GBK page text).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/battery_system.h"

class CBatteryInfo {
public:
    // Opens the first battery of `batteries` and reads it; a value that could not be had
    // stays empty ("-" for a temperature the battery refused).
    explicit CBatteryInfo(platform::IBatterySystem& batteries);
    CBatteryInfo(const CBatteryInfo&) = delete;
    CBatteryInfo& operator=(const CBatteryInfo&) = delete;

    // Opens the first battery interface and asks for its tag. Leaves no device held and the
    // tag at 0 when there is none.
    void OpenBattery();
    // Fills the texts from the open battery. When the status request fails (always so without
    // a battery), closes the battery and leaves every text empty.
    void QueryBattery();

    std::string m_strTemperature;  // tenths of a kelvin
    std::string m_strCycleCount;
    std::string m_strWear;       // whole percent
    std::string m_strChemistry;  // at most four characters
    std::string m_strDeviceName;
    std::string m_strUniqueId;
    std::string m_strManufacturer;
    std::string m_strSerialNumber;
    std::string m_strDesignCapacity;  // as the battery reports it, normally mWh; "" unknown
    std::string m_strFullCapacity;
    bool m_bRelativeCapacity = false;  // the capacities are relative figures, not mWh
    std::string m_strVoltage;          // volts, six decimals
    std::string m_strRemaining;        // percent
    std::uint32_t m_ulTag = 0;         // 0: no battery
    std::unique_ptr<platform::IBatteryDevice> m_hBattery;  // held for the object's life

private:
    void ClearTexts();

    platform::IBatterySystem& m_batteries;
};
