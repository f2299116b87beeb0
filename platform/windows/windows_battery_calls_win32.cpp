// The Windows calls behind IBatteryCalls: SetupDi to list the battery interfaces,
// CreateFileW to open one, DeviceIoControl to ask it, GetSystemPowerStatus for the combined
// remaining charge. Nothing here builds a request or reads a reply.
#include <windows.h>
// windows.h first: setupapi.h and poclass.h need its types.
#include <setupapi.h>
// initguid.h makes poclass.h define GUID_DEVICE_BATTERY here instead of declaring it.
#include <initguid.h>
#include <poclass.h>

#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "platform/windows/windows_battery_calls.h"
#include "platform/windows/windows_battery_setupdi_win32.h"
#include "platform/windows/windows_battery_system.h"

namespace platform {
namespace {

// The longest device path SetupDi can hand back: 32767 UTF-16 units after the cbSize field.
constexpr DWORD kMaxDetailBytes =
    offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + 32767 * sizeof(WCHAR);

// A device information set, destroyed as soon as the paths have been read.
class CDeviceInfoSet {
public:
    explicit CDeviceInfoSet(HDEVINFO set) : m_hSet(set) {}
    ~CDeviceInfoSet() {
        if (Valid()) SetupDiDestroyDeviceInfoList(m_hSet);
    }
    CDeviceInfoSet(const CDeviceInfoSet&) = delete;
    CDeviceInfoSet& operator=(const CDeviceInfoSet&) = delete;
    bool Valid() const { return m_hSet != INVALID_HANDLE_VALUE; }
    HDEVINFO Get() const { return m_hSet; }

private:
    HDEVINFO m_hSet;
};

// The device path of one listed interface; nullopt when SetupDi cannot give it.
std::optional<std::u16string> InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& iface) {
    DWORD required = 0;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (SetupDiGetDeviceInterfaceDetailW(set, &iface, nullptr, 0, &required, &device) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return std::nullopt;
    }
    // The size must leave room for the path (at least its zero unit) and be one SetupDi can
    // give; anything else is not a size to allocate.
    constexpr DWORD kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    if (required < kPathOffset + sizeof(WCHAR) || required > kMaxDetailBytes) {
        return std::nullopt;
    }
    // DWORD elements keep the record's alignment.
    std::vector<DWORD> storage((required + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    // The fixed part's size, 8 on x64, not the buffer's; the x86 value 5 (6 for the wide
    // record) is refused with ERROR_INVALID_USER_BUFFER.
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &iface, detail, required, nullptr, &device)) {
        return std::nullopt;
    }
    // The path ends at its zero unit, or at the end of the buffer if the unit is missing.
    const auto* units = reinterpret_cast<const std::uint8_t*>(storage.data()) + kPathOffset;
    const std::size_t maxUnits = (required - kPathOffset) / sizeof(WCHAR);
    std::u16string path;
    for (std::size_t i = 0; i < maxUnits; ++i) {
        char16_t unit = 0;
        std::memcpy(&unit, units + i * sizeof(WCHAR), sizeof unit);
        if (unit == 0) break;
        path.push_back(unit);
    }
    if (path.empty()) return std::nullopt;
    return path;
}

class CWin32BatteryHandle final : public IBatteryHandle {
public:
    explicit CWin32BatteryHandle(HANDLE device) : m_hDevice(device) {}
    ~CWin32BatteryHandle() override { CloseHandle(m_hDevice); }
    CWin32BatteryHandle(const CWin32BatteryHandle&) = delete;
    CWin32BatteryHandle& operator=(const CWin32BatteryHandle&) = delete;

    std::optional<std::uint32_t> Control(std::uint32_t code, std::span<const std::uint8_t> input,
                                         std::span<std::uint8_t> output) override {
        DWORD returned = 0;
        // METHOD_BUFFERED: the system copies the input and never writes through its pointer.
        if (!DeviceIoControl(m_hDevice, code, const_cast<std::uint8_t*>(input.data()),
                             static_cast<DWORD>(input.size()), output.data(),
                             static_cast<DWORD>(output.size()), &returned, nullptr)) {
            return std::nullopt;
        }
        return returned;
    }

private:
    HANDLE m_hDevice;
};

class CWin32BatteryCalls final : public IBatteryCalls {
public:
    std::vector<std::u16string> BatteryInterfacePaths() override {
        return PresentInterfacePaths(GUID_DEVICE_BATTERY, kMaxBatteryInterfaces);
    }

    std::unique_ptr<IBatteryHandle> OpenBattery(const std::u16string& path) override {
        const std::wstring widePath(path.begin(), path.end());
        // Read and write access, as the battery class documentation opens its devices. Both
        // sharing modes: another program holding the battery open for writing must not make
        // this open fail.
        const HANDLE device = CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (device == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<CWin32BatteryHandle>(device);
    }

    std::optional<std::array<std::uint8_t, 12>> SystemPowerStatus() override {
        SYSTEM_POWER_STATUS status{};
        if (!GetSystemPowerStatus(&status)) return std::nullopt;
        std::array<std::uint8_t, 12> bytes{};
        static_assert(sizeof status == bytes.size());
        std::memcpy(bytes.data(), &status, bytes.size());
        return bytes;
    }
};

}  // namespace

std::vector<std::u16string> PresentInterfacePaths(const GUID& interfaceClass,
                                                  std::size_t maxCount) {
    std::vector<std::u16string> paths;
    // DIGCF_PRESENT: without it the set also lists interfaces of devices that were once
    // installed and are gone, and such a ghost battery would be asked before the real one.
    CDeviceInfoSet set(SetupDiGetClassDevsW(&interfaceClass, nullptr, nullptr,
                                            DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.Valid()) return paths;
    for (DWORD index = 0; index < maxCount; ++index) {
        // cbSize is this build's own record size (32 on x64); the x64 SetupDi refuses the x86
        // size 28 with ERROR_INVALID_PARAMETER.
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        // Fails with ERROR_NO_MORE_ITEMS past the last interface.
        if (!SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &interfaceClass, index, &iface)) {
            break;
        }
        if (auto path = InterfacePath(set.Get(), iface)) paths.push_back(std::move(*path));
    }
    return paths;
}

std::unique_ptr<IBatteryCalls> MakeWin32BatteryCalls() {
    return std::make_unique<CWin32BatteryCalls>();
}

std::unique_ptr<IBatterySystem> MakeWindowsBatterySystem() {
    return std::make_unique<CWindowsBatterySystem>(MakeWin32BatteryCalls());
}

}  // namespace platform
