#include "win32/app_name.h"

#include <windows.h>

#include <vector>

#include "win32/wide_text.h"

namespace win32 {

std::string ApplicationNameOf(std::wstring_view modulePath) {
    std::wstring_view name = modulePath;
    if (const auto slash = name.find_last_of(L"\\/"); slash != std::wstring_view::npos) {
        name.remove_prefix(slash + 1);
    }
    if (const auto dot = name.rfind(L'.'); dot != std::wstring_view::npos && dot > 0) {
        name = name.substr(0, dot);
    }
    return WideToGbk(name);
}

std::string ApplicationName() {
    // The path is read wide, so a folder or file name outside the ANSI code page survives.
    for (DWORD size = MAX_PATH; size <= 65536; size *= 2) {
        std::vector<wchar_t> path(size);
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), size);
        if (n == 0) break;
        if (n < size) {
            const std::string name = ApplicationNameOf(std::wstring_view(path.data(), n));
            if (!name.empty()) return name;
            break;
        }
    }
    return "quorrix";
}

}  // namespace win32
