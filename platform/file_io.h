// Reading whole small files (sysfs attributes, saved dumps).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The bytes of the file at `path`, at most `maxBytes` of them: a longer file yields its first
// maxBytes + 1 bytes, so the caller can tell that it was too long. nullopt when the file
// cannot be opened or read; then `*err` (if given) says why, with the path.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                                     std::size_t maxBytes,
                                                                     std::string* err = nullptr);

// "context: strerror(code)".
std::string ErrnoText(const std::string& context, int code);

}  // namespace platform
