// RunningExecutablePath on Windows: the module file of the program itself.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/system_sources.h"

namespace platform {

std::optional<std::string> RunningExecutablePath() {
    // GetModuleFileNameA fills the buffer to the brim when the path is longer; try again with
    // room to spare until it fits (long paths reach 32767 characters).
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        std::vector<char> path(size);
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), size);
        if (n == 0) return std::nullopt;
        if (n < size) return std::string(path.data(), n);
    }
    return std::nullopt;
}

}  // namespace platform
