// The battery page, built from CBatteryInfo's texts and the firmware's battery record.
#pragma once

#include <string>

class CBatteryInfo;
class CSMBios;

namespace battery {

// Fourteen lines, each ending with CR LF: the battery's identity, capacities, wear, cycle
// count, chemistry, the firmware's design voltage, voltage, remaining charge, the firmware's
// manufacture date and the temperature. An empty value leaves the label and its suffix.
std::string BuildBatteryPage(const CBatteryInfo& battery, const CSMBios& smbios);

}  // namespace battery
