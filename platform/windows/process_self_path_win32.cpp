// RunningExecutablePath on Windows: the module file of the program itself.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/system_sources.h"
#include "text/wide_text.h"

namespace platform {

std::optional<std::string> RunningExecutablePath() {
    // The wide name, so that the path comes back as UTF-8 whatever the ANSI code page is.
    // GetModuleFileNameW fills the buffer to the brim when the path is longer; try again with
    // room to spare until it fits (long paths reach 32767 characters).
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        std::vector<wchar_t> path(size);
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), size);
        if (n == 0) return std::nullopt;
        if (n < size) {
            std::string utf8 = text::WideToUtf8(std::wstring_view(path.data(), n));
            if (utf8.empty()) return std::nullopt;
            return utf8;
        }
    }
    return std::nullopt;
}

}  // namespace platform
