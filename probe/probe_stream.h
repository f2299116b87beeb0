// The stream quorrix-probe writes on its standard output and the window reads: the raw SMBIOS
// entry point and table, and each drive call with its outcome. Nothing in it is decoded.
//
// Layout (every number little-endian):
//   header   8 bytes "QRXPROBE", 2 bytes format version (kProbeStreamVersion)
//   records  2 bytes tag, 4 bytes payload length, the payload; the last record is kEnd,
//            empty, and nothing follows it
// Records:
//   kSmbiosEntryPoint  the entry point file's bytes (absent: it could not be read)
//   kSmbiosTable       the table file's bytes (absent: it could not be read)
//   kDriveOpen         number, opened (0/1), NVMe (0/1); the calls after it are that drive's
//   kDriveCall         kind, the 7 ATA registers (features, count, LBA low, mid, high, device,
//                      command), log id, ok (0/1), error code (4 bytes, signed), namespace ID
//                      (4 bytes), then the bytes the call left in its buffer (exactly as many
//                      as the kind moves)
// Version 2 added the namespace ID (and the Identify Namespace call that carries it); the
// probe and the window come from one build, so a stream of another version is refused.
// A reader refuses the whole stream on anything else: another magic or version, an unknown
// tag, a record longer than what is left, a field out of range, a second SMBIOS record of a
// kind, a call without an opened drive before it, more than kMaxProbeStreamBytes, or no kEnd.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "probe/recorded_drive.h"

namespace probe {

inline constexpr std::uint16_t kProbeStreamVersion = 2;
inline constexpr std::size_t kMaxProbeStreamBytes = 256 * 1024;
// The largest entry point and table the probe sends: what the folder reader reads (a table
// of 64000 bytes or more comes cut to 64001 bytes, which the decoder refuses as too large).
inline constexpr std::size_t kMaxEntryPointBytes = 4097;
inline constexpr std::size_t kMaxTableBytes = 64001;
inline constexpr std::size_t kMaxDriveCalls = 16;

enum class ProbeTag : std::uint16_t {
    kEnd = 0,
    kSmbiosEntryPoint = 1,
    kSmbiosTable = 2,
    kDriveOpen = 3,
    kDriveCall = 4,
};

// What the probe read.
struct ProbeData {
    std::optional<std::vector<std::uint8_t>> smbiosEntryPoint;
    std::optional<std::vector<std::uint8_t>> smbiosTable;
    std::vector<platform::DriveRecord> drives;
    bool operator==(const ProbeData&) const = default;
};

// The stream of `data`. nullopt when it would break the reader's limits (a part too long, too
// many calls, a call whose bytes do not match its kind): the probe then writes nothing.
std::optional<std::vector<std::uint8_t>> WriteProbeStream(const ProbeData& data);

// The data of a whole stream; nullopt with `*err` saying what is wrong otherwise.
std::optional<ProbeData> ReadProbeStream(std::span<const std::uint8_t> stream, std::string* err);

}  // namespace probe
