// Paths travel through the program as UTF-8 in std::string. std::filesystem takes a plain
// string in the system's narrow encoding, which is not UTF-8 on every system; char8_t text is
// taken as UTF-8 everywhere.
#pragma once

#include <filesystem>
#include <string>

namespace base {

inline std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

}  // namespace base
