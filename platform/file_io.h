// Reading whole small files (sysfs attributes, saved dumps), the same call on every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The bytes of the regular file at `path` (UTF-8), at most `maxBytes` of them: a longer file
// yields its first maxBytes + 1 bytes, so the caller can tell that it was too long. nullopt
// when the file cannot be opened or read; then `*err` (if given) says why, with the path.
// Anything but a regular file (a folder, a device, a pipe, a socket) is refused at once,
// without waiting for it or reading from it.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                                     std::size_t maxBytes,
                                                                     std::string* err = nullptr);

}  // namespace platform
