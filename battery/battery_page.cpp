#include "battery/battery_page.h"

#include "battery/battery_info.h"
#include "smbios/smbios.h"
#include "text/page_text.h"

namespace battery {

std::string BuildBatteryPage(const CBatteryInfo& battery, const CSMBios& smbios) {
    // Capacities carry "mWh" unless the battery gives them on a relative scale; the
    // temperature carries no unit, whatever the driver's units.
    const char* capacityUnit = battery.m_bRelativeCapacity ? "" : "mWh";
    return text::JoinLines(
        {
            text::Line("电池设备名称", battery.m_strDeviceName),
            text::Line("电池序列号", battery.m_strSerialNumber),
            text::Line("电池制造厂商", battery.m_strManufacturer),
            text::Line("电池唯一ID号", battery.m_strUniqueId),
            text::Line("电池设计容量", battery.m_strDesignCapacity, capacityUnit),
            text::Line("完全充电容量", battery.m_strFullCapacity, capacityUnit),
            text::Line("电池损耗", battery.m_strWear, "%"),
            text::Line("充放电次数", battery.m_strCycleCount, " (参考)"),
            text::Line("电池化学工艺", battery.m_strChemistry),
            text::Line("电池设计电压", smbios.m_strBatteryDesignVoltage, "V"),
            text::Line("电池电压", battery.m_strVoltage, "V"),
            text::Line("电池剩余电量", battery.m_strRemaining, "%"),
            text::Line("电池生产日期", smbios.m_strBatteryDate),
            text::Line("电池温度", battery.m_strTemperature),
        },
        true);
}

}  // namespace battery
