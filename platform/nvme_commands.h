// The NVMe admin commands this program sends, with the values every system's drive layer puts
// in them (NVMe Base Specification 2.0, 5.16 Get Log Page and 5.17 Identify). The sizes of the
// data they return, and the log they ask for, are the drive interface's (drive_system.h).
#pragma once

#include <cstdint>

#include "platform/drive_system.h"

namespace platform {

inline constexpr std::uint8_t kNvmeOpGetLogPage = 0x02;
inline constexpr std::uint8_t kNvmeOpIdentify = 0x06;
// Identify CNS 00h: the Identify Namespace data structure of the namespace NSID names.
inline constexpr std::uint32_t kNvmeCnsNamespace = 0x00;
// Identify CNS 01h: the Identify Controller data structure.
inline constexpr std::uint32_t kNvmeCnsController = 0x01;
// The one namespace whose Identify Namespace is asked for: the first, which holds the system
// on every laptop drive.
inline constexpr std::uint32_t kNvmeFirstNamespace = 1;
// NSID FFFFFFFFh: a log page over all namespaces.
inline constexpr std::uint32_t kNvmeAllNamespaces = 0xFFFFFFFF;
// Get Log Page CDW10 bit 15, Retain Asynchronous Event.
inline constexpr std::uint32_t kNvmeRetainAsyncEvent = 1u << 15;

}  // namespace platform
