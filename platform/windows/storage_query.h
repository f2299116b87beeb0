// IOCTL_STORAGE_QUERY_PROPERTY: the STORAGE_PROPERTY_QUERY head every query starts with, and
// the standard device query that tells which bus a drive sits on (STORAGE_DEVICE_DESCRIPTOR).
// Pure functions over byte spans; windows_drive_abi_check_win32.cpp pins them to <winioctl.h>.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platform {

inline constexpr std::uint32_t kIoctlStorageQueryProperty = 0x002D1400;

// STORAGE_PROPERTY_ID and STORAGE_QUERY_TYPE values this program asks for.
inline constexpr std::uint32_t kStorageDeviceProperty = 0;
inline constexpr std::uint32_t kStorageAdapterProtocolSpecificProperty = 49;
inline constexpr std::uint32_t kStorageDeviceProtocolSpecificProperty = 50;
inline constexpr std::uint32_t kPropertyStandardQuery = 0;

// STORAGE_PROPERTY_QUERY: PropertyId, QueryType, then AdditionalParameters (one byte, padded
// to 12); a query's own parameters start at AdditionalParameters.
inline constexpr std::size_t kPropertyQueryPropertyIdOffset = 0;
inline constexpr std::size_t kPropertyQueryQueryTypeOffset = 4;
inline constexpr std::size_t kPropertyQueryParametersOffset = 8;
inline constexpr std::size_t kPropertyQueryBytes = 12;

// STORAGE_DEVICE_DESCRIPTOR: Version (the size of the structure the driver filled), Size
// (the whole descriptor with its strings, which may exceed the buffer), DeviceType,
// DeviceTypeModifier, RemovableMedia (a BOOLEAN byte), ..., BusType at 28.
inline constexpr std::size_t kDeviceDescriptorVersionOffset = 0;
inline constexpr std::size_t kDeviceDescriptorSizeOffset = 4;
inline constexpr std::size_t kDeviceDescriptorRemovableMediaOffset = 10;
inline constexpr std::size_t kDeviceDescriptorBusTypeOffset = 28;
inline constexpr std::size_t kDeviceDescriptorBytes = 40;
// Room for the descriptor and the vendor, product, revision and serial strings after it.
inline constexpr std::size_t kDeviceDescriptorReplyBytes = 1024;

// STORAGE_BUS_TYPE values.
inline constexpr std::uint32_t kBusTypeUnknown = 0x00;
inline constexpr std::uint32_t kBusTypeScsi = 0x01;
inline constexpr std::uint32_t kBusTypeAta = 0x03;
inline constexpr std::uint32_t kBusTypeUsb = 0x07;
inline constexpr std::uint32_t kBusTypeRaid = 0x08;
inline constexpr std::uint32_t kBusTypeSata = 0x0B;
inline constexpr std::uint32_t kBusTypeNvme = 0x11;

using PropertyQuery = std::array<std::uint8_t, kPropertyQueryBytes>;

// A standard query of the device descriptor (StorageDeviceProperty, PropertyStandardQuery).
PropertyQuery BuildDeviceDescriptorQuery();

// Writes the PropertyId / QueryType head at the start of `out` (at least 8 bytes).
void WritePropertyQueryHead(std::uint32_t propertyId, std::uint32_t queryType,
                            std::span<std::uint8_t> out);

// What a STORAGE_DEVICE_DESCRIPTOR says of the drive.
struct DeviceDescriptorFacts {
    std::uint32_t busType = kBusTypeUnknown;
    bool bRemovableMedia = false;

    bool operator==(const DeviceDescriptorFacts&) const = default;
};

// The BusType and RemovableMedia of a STORAGE_DEVICE_DESCRIPTOR reply (the bytes the driver
// returned). nullopt unless the bytes returned reach past BusType and Version and Size both
// say the driver's structure covers it.
std::optional<DeviceDescriptorFacts> ReadDeviceDescriptor(std::span<const std::uint8_t> reply);

// An internal drive: on no USB bus and without removable media (a card reader's slot, a
// stick that says so).
bool IsInternalDrive(const DeviceDescriptorFacts& facts);

}  // namespace platform
