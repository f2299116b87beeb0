#include "platform/console.h"

#include <unistd.h>

#include <cstdio>

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

bool WriteStdout(std::string_view bytes, bool /*bText*/) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

bool StdoutIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}

}  // namespace platform
