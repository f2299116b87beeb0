// The EDID of the laptop's built-in display panel, as the system reports it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// The most bytes of EDID taken from any source (256 blocks of 128 bytes).
inline constexpr std::size_t kMaxEdidBytes = 32 * 1024;

class IPanelEdidSource {
public:
    virtual ~IPanelEdidSource() = default;
    // The built-in panel's EDID bytes (at most kMaxEdidBytes), or none when there is no such
    // panel or it cannot be read.
    virtual std::vector<std::uint8_t> ReadPanelEdid() = 0;
};

// The system's source: on Linux the DRM connectors of built-in panels in sysfs, on Windows the
// monitor of the internal display path. Needs no administrator rights.
std::unique_ptr<IPanelEdidSource> MakeSystemPanelEdidSource();

}  // namespace platform
