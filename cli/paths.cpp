#include <filesystem>
#include <string>

#include "cli/inputs.h"

namespace cli {

// std::filesystem takes a plain string in the system's narrow encoding, which is not UTF-8
// on every system; char8_t text is taken as UTF-8 everywhere.
std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

}  // namespace cli
