// The built-in panel's EDID on Windows: the active display paths' targets from the display
// configuration, and the "EDID" value of the chosen monitor device's registry key.
#include <windows.h>
// after windows.h
#include <setupapi.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/panel_edid.h"
#include "platform/windows/display_paths.h"

namespace platform {
namespace {

std::vector<DisplayTarget> ActiveTargets() {
    std::vector<DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
    LONG status = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < 4 && status == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        UINT32 nPaths = 0;
        UINT32 nModes = 0;
        if (GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &nPaths, &nModes) != ERROR_SUCCESS)
            return {};
        paths.resize(nPaths);
        modes.resize(nModes);
        status = QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &nPaths, paths.data(), &nModes,
                                    modes.data(), nullptr);
        paths.resize(nPaths);
    }
    if (status != ERROR_SUCCESS) return {};
    std::vector<DisplayTarget> targets;
    for (const DISPLAYCONFIG_PATH_INFO& path : paths) {
        DISPLAYCONFIG_TARGET_DEVICE_NAME name = {};
        name.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME;
        name.header.size = sizeof name;
        name.header.adapterId = path.targetInfo.adapterId;
        name.header.id = path.targetInfo.id;
        if (DisplayConfigGetDeviceInfo(&name.header) != ERROR_SUCCESS) continue;
        name.monitorDevicePath[std::size(name.monitorDevicePath) - 1] = L'\0';
        targets.push_back({static_cast<std::uint32_t>(name.outputTechnology),
                           std::wstring(name.monitorDevicePath)});
    }
    return targets;
}

// The "EDID" value of the device behind the monitor interface `path`, or none.
std::vector<std::uint8_t> MonitorEdid(const std::wstring& path) {
    // A list of no particular setup class: the interface path names the device.
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    if (set == INVALID_HANDLE_VALUE) return {};
    std::vector<std::uint8_t> edid;
    SP_DEVICE_INTERFACE_DATA iface = {};
    iface.cbSize = sizeof iface;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    DWORD needed = 0;
    if (SetupDiOpenDeviceInterfaceW(set, path.c_str(), 0, &iface)) {
        SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &needed, nullptr);
        std::vector<std::uint8_t> detail(
            std::max<DWORD>(needed, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)));
        auto* data = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detail.data());
        data->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (SetupDiGetDeviceInterfaceDetailW(set, &iface, data, static_cast<DWORD>(detail.size()),
                                             nullptr, &device)) {
            HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
            if (key != INVALID_HANDLE_VALUE) {
                DWORD type = 0;
                DWORD size = static_cast<DWORD>(kMaxEdidBytes);
                edid.resize(kMaxEdidBytes);
                if (RegQueryValueExW(key, L"EDID", nullptr, &type, edid.data(), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_BINARY) {
                    edid.resize(size);
                } else {
                    edid.clear();
                }
                RegCloseKey(key);
            }
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return edid;
}

class CWindowsPanelEdidSource final : public IPanelEdidSource {
public:
    std::vector<std::uint8_t> ReadPanelEdid() override {
        for (const std::wstring& path : PanelMonitorCandidates(ActiveTargets())) {
            std::vector<std::uint8_t> edid = MonitorEdid(path);
            if (!edid.empty()) return edid;
        }
        return {};
    }
};

}  // namespace

std::unique_ptr<IPanelEdidSource> MakeSystemPanelEdidSource() {
    return std::make_unique<CWindowsPanelEdidSource>();
}

}  // namespace platform
