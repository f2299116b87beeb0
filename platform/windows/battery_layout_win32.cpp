// The byte layouts of battery_ioctl.h held against the Windows headers: if a header (or the
// target's word size) disagrees with a size, an offset or a code the parsers use, the build
// stops here instead of a reply being misread.
#include <windows.h>
// windows.h first: the headers below need its base types and CTL_CODE.
#include <batclass.h>
#include <setupapi.h>

#include <cstddef>

#include "platform/windows/battery_ioctl.h"

namespace {

namespace ioctl = platform::battery_ioctl;

static_assert(IOCTL_BATTERY_QUERY_TAG == ioctl::kIoctlQueryTag);
static_assert(IOCTL_BATTERY_QUERY_INFORMATION == ioctl::kIoctlQueryInformation);
static_assert(IOCTL_BATTERY_QUERY_STATUS == ioctl::kIoctlQueryStatus);

static_assert(BatteryInformation == static_cast<int>(ioctl::InformationLevel::Information));
static_assert(BatteryTemperature == static_cast<int>(ioctl::InformationLevel::Temperature));
static_assert(BatteryDeviceName == static_cast<int>(ioctl::InformationLevel::DeviceName));
static_assert(BatteryManufactureName == static_cast<int>(ioctl::InformationLevel::ManufactureName));
static_assert(BatteryUniqueID == static_cast<int>(ioctl::InformationLevel::UniqueId));
static_assert(BatterySerialNumber == static_cast<int>(ioctl::InformationLevel::SerialNumber));

static_assert(sizeof(BATTERY_QUERY_INFORMATION) == ioctl::kQueryInformationBytes);
static_assert(offsetof(BATTERY_QUERY_INFORMATION, BatteryTag) == 0x00);
static_assert(offsetof(BATTERY_QUERY_INFORMATION, InformationLevel) == 0x04);
static_assert(offsetof(BATTERY_QUERY_INFORMATION, AtRate) == 0x08);

static_assert(sizeof(BATTERY_WAIT_STATUS) == ioctl::kWaitStatusBytes);
static_assert(offsetof(BATTERY_WAIT_STATUS, BatteryTag) == 0x00);
static_assert(offsetof(BATTERY_WAIT_STATUS, Timeout) == 0x04);
static_assert(offsetof(BATTERY_WAIT_STATUS, PowerState) == 0x08);
static_assert(offsetof(BATTERY_WAIT_STATUS, LowCapacity) == 0x0C);
static_assert(offsetof(BATTERY_WAIT_STATUS, HighCapacity) == 0x10);

static_assert(sizeof(BATTERY_STATUS) == ioctl::kStatusBytes);
static_assert(offsetof(BATTERY_STATUS, Voltage) == ioctl::kStatusVoltageOffset);

static_assert(sizeof(BATTERY_INFORMATION) == ioctl::kInformationBytes);
static_assert(offsetof(BATTERY_INFORMATION, Chemistry) == ioctl::kInformationChemistryOffset);
static_assert(sizeof(BATTERY_INFORMATION::Chemistry) == 4);
static_assert(offsetof(BATTERY_INFORMATION, DesignedCapacity) ==
              ioctl::kInformationDesignedCapacityOffset);
static_assert(offsetof(BATTERY_INFORMATION, FullChargedCapacity) ==
              ioctl::kInformationFullChargedCapacityOffset);
static_assert(offsetof(BATTERY_INFORMATION, CycleCount) == ioctl::kInformationCycleCountOffset);

static_assert(offsetof(BATTERY_INFORMATION, Capabilities) == ioctl::kInformationCapabilitiesOffset);
static_assert(BATTERY_CAPACITY_RELATIVE == ioctl::kCapacityRelative);

static_assert(BATTERY_UNKNOWN_CAPACITY == platform::kBatteryUnknownValue);
static_assert(BATTERY_UNKNOWN_VOLTAGE == platform::kBatteryUnknownValue);

static_assert(sizeof(ULONG) == ioctl::kTagBytes);
static_assert(sizeof(ULONG) == ioctl::kTemperatureBytes);

static_assert(sizeof(SYSTEM_POWER_STATUS) == ioctl::kSystemPowerStatusBytes);
static_assert(offsetof(SYSTEM_POWER_STATUS, BatteryLifePercent) ==
              ioctl::kBatteryLifePercentOffset);

// The SetupDi records are larger on x64 than on x86 (28, 28 and 6 there), and SetupDi
// refuses a cbSize of the other word size; windows_battery_calls_win32.cpp sets cbSize with
// sizeof. These hold the x64 values of the build.
#ifdef _WIN64
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 32);
static_assert(sizeof(SP_DEVINFO_DATA) == 32);
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == 8);
#endif
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) == 4);

}  // namespace
