// The real calls on the machine the tests run on (Windows build). On a machine without a
// battery, and under Wine, which lists no battery interface, CBatteryInfo must end with
// every text empty; on a laptop it must hold the battery it read.
#include <windows.h>
// windows.h first: the headers below need its types. initguid.h makes devguid.h and
// poclass.h define their GUIDs here instead of declaring them.
#include <initguid.h>

#include <devguid.h>
#include <poclass.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>

#include "battery/battery_info.h"
#include "platform/windows/windows_battery_calls.h"
#include "platform/windows/windows_battery_setupdi_win32.h"
#include "platform/windows/windows_battery_system.h"

namespace {

// Whether SetupDi lists an interface of `interfaceClass` for a present device: the question
// asked without reading any path.
bool Lists(const GUID& interfaceClass) {
    const HDEVINFO set = SetupDiGetClassDevsW(&interfaceClass, nullptr, nullptr,
                                              DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return false;
    SP_DEVICE_INTERFACE_DATA iface{};
    iface.cbSize = sizeof iface;
    const bool listed = SetupDiEnumDeviceInterfaces(set, nullptr, &interfaceClass, 0, &iface);
    SetupDiDestroyDeviceInfoList(set);
    return listed;
}

TEST(WindowsBatteryLive, TheInterfaceClassIsTheBatteryClass) {
    // {72631E54-78A4-11D0-BCF7-00AA00B7B32A}: the interface class and the setup class agree.
    const GUID documented = {
        0x72631E54, 0x78A4, 0x11D0, {0xBC, 0xF7, 0x00, 0xAA, 0x00, 0xB7, 0xB3, 0x2A}};
    EXPECT_TRUE(IsEqualGUID(GUID_DEVICE_BATTERY, documented));
    EXPECT_TRUE(IsEqualGUID(GUID_DEVCLASS_BATTERY, documented));
}

TEST(WindowsBatteryLive, FindsTheFirstPresentInterfaceOfAListedClass) {
    // GUID_DEVINTERFACE_MONITOR: Windows with a display lists one, and so does Wine, which
    // lists no battery. The same SetupDi sequence as for the battery runs to its end.
    const GUID monitor = {
        0xE6F07B5F, 0xEE97, 0x4A90, {0xB0, 0x76, 0x33, 0xF5, 0x7B, 0xF4, 0xEA, 0xA7}};
    if (!Lists(monitor)) GTEST_SKIP() << "this machine lists no monitor interface";
    const auto paths = platform::PresentInterfacePaths(monitor, 1);
    ASSERT_EQ(paths.size(), 1u);
    std::u16string lower(paths[0]);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char16_t c) { return static_cast<char16_t>(std::towlower(c)); });
    EXPECT_EQ(lower.rfind(u"\\\\?\\", 0), 0u);
    const std::u16string suffix = u"#{e6f07b5f-ee97-4a90-b076-33f57bf4eaa7}";
    ASSERT_GT(lower.size(), suffix.size());
    EXPECT_EQ(lower.substr(lower.size() - suffix.size()), suffix);
}

TEST(WindowsBatteryLive, ReadsTheMachinesBatteryOrNone) {
    const auto calls = platform::MakeWin32BatteryCalls();
    const auto paths = calls->BatteryInterfacePaths();
    EXPECT_LE(paths.size(), platform::kMaxBatteryInterfaces);
    const auto record = calls->SystemPowerStatus();
    ASSERT_TRUE(record);  // GetSystemPowerStatus answers on every Windows, and on Wine

    const auto system = platform::MakeWindowsBatterySystem();
    const std::uint8_t percent = system->ReadBatteryLifePercent();
    EXPECT_TRUE(percent <= 100 || percent == platform::kBatteryLifeUnknown) << int{percent};

    const CBatteryInfo battery(*system);
    if (paths.empty() || !battery.m_hBattery) {
        EXPECT_EQ(battery.m_ulTag, 0u);
        for (const std::string* text :
             {&battery.m_strTemperature, &battery.m_strCycleCount, &battery.m_strWear,
              &battery.m_strChemistry, &battery.m_strDeviceName, &battery.m_strUniqueId,
              &battery.m_strManufacturer, &battery.m_strSerialNumber, &battery.m_strDesignCapacity,
              &battery.m_strFullCapacity, &battery.m_strVoltage, &battery.m_strRemaining}) {
            EXPECT_EQ(*text, "");
        }
        return;
    }
    // A battery that answered its status has a tag and a temperature text ("-" if refused).
    EXPECT_NE(battery.m_ulTag, 0u);
    EXPECT_FALSE(battery.m_strTemperature.empty());
}

TEST(WindowsBatteryLive, APathThatIsNoDeviceDoesNotOpen) {
    const auto calls = platform::MakeWin32BatteryCalls();
    EXPECT_EQ(calls->OpenBattery(u"\\\\?\\quorrix#no-such-battery#0"), nullptr);
    EXPECT_EQ(calls->OpenBattery(u""), nullptr);
}

}  // namespace
