// Which monitor of the active display paths is the laptop's own panel: the choice made from the
// paths' output technologies, apart from the calls that list them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// One active path as the display configuration describes its target.
struct DisplayTarget {
    std::uint32_t nOutputTechnology = 0;  // DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY
    std::wstring strMonitorDevicePath;    // the monitor's device interface path
};

// True for the output technologies of a built-in panel: INTERNAL, DISPLAYPORT_EMBEDDED,
// UDI_EMBEDDED and LVDS.
bool IsInternalOutput(std::uint32_t technology);

// The monitor paths to read the EDID from, in the order to try them until one gives an EDID:
// the internal targets, or when there is none, every target. Targets without a device path are
// left out.
std::vector<std::wstring> PanelMonitorCandidates(const std::vector<DisplayTarget>& targets);

}  // namespace platform
