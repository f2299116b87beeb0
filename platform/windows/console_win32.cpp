#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// CommandLineToArgvW
#include <shellapi.h>

#include <cstdio>

#include "text/wide_text.h"

namespace platform {
namespace {

// True when standard output is a console window (not a file or a pipe).
bool StdoutIsConsole(HANDLE* console) {
    *console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    return *console != nullptr && *console != INVALID_HANDLE_VALUE &&
           GetConsoleMode(*console, &mode) != 0;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> args;
    args.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) args.push_back(text::WideToUtf8(wide[i]));
    LocalFree(wide);
    return args;
}

bool StdoutIsTerminal() {
    HANDLE console = nullptr;
    return StdoutIsConsole(&console) ||
           GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_CHAR;
}

bool WriteStdout(std::string_view bytes, bool bText) {
    HANDLE console = nullptr;
    if (bText && StdoutIsConsole(&console)) {
        // The console shows wide text whatever its code page; UTF-8 bytes would show as
        // the code page's characters.
        std::fflush(stdout);
        if (bytes.empty()) return true;
        const auto wide = text::CodePageToWide(bytes, CP_UTF8, false);
        if (!wide) return false;
        DWORD written = 0;
        return WriteConsoleW(console, wide->data(), static_cast<DWORD>(wide->size()), &written,
                             nullptr) != 0 &&
               written == wide->size();
    }
    // Files and pipes get the bytes exactly: no "\n" to "\r\n" translation.
    static const bool binary = _setmode(_fileno(stdout), _O_BINARY) != -1;
    (void)binary;
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

}  // namespace platform
