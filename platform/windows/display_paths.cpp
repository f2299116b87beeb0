#include "platform/windows/display_paths.h"

#include <algorithm>

namespace platform {
namespace {
// The values of DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY (wingdi.h), here so that the choice
// builds and is tested on every system.
constexpr std::uint32_t kLvds = 6;
constexpr std::uint32_t kDisplayPortEmbedded = 11;
constexpr std::uint32_t kUdiEmbedded = 13;
constexpr std::uint32_t kInternal = 0x80000000u;
}  // namespace

bool IsInternalOutput(std::uint32_t technology) {
    return technology == kInternal || technology == kDisplayPortEmbedded ||
           technology == kUdiEmbedded || technology == kLvds;
}

std::vector<std::wstring> PanelMonitorCandidates(const std::vector<DisplayTarget>& targets) {
    const bool anyInternal = std::any_of(targets.begin(), targets.end(), [](const auto& t) {
        return IsInternalOutput(t.nOutputTechnology) && !t.strMonitorDevicePath.empty();
    });
    std::vector<std::wstring> paths;
    for (const DisplayTarget& t : targets) {
        if (t.strMonitorDevicePath.empty()) continue;
        if (anyInternal && !IsInternalOutput(t.nOutputTechnology)) continue;
        if (std::find(paths.begin(), paths.end(), t.strMonitorDevicePath) == paths.end())
            paths.push_back(t.strMonitorDevicePath);
    }
    return paths;
}

}  // namespace platform
