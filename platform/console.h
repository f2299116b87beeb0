// A console program's command line and standard output, the same on every system: arguments
// arrive as UTF-8 and text leaves as UTF-8 that the terminal or console shows correctly.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The program's arguments, argv[0] included, as UTF-8 (on Windows from the wide command line,
// so names outside the ANSI code page survive).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes `bytes` to standard output. `bText`: UTF-8 text with "\n" line ends for a person; a
// Windows console is given it as wide text, a file or pipe gets the UTF-8 bytes. Otherwise
// the bytes go out unchanged on every system. False when the write failed.
bool WriteStdout(std::string_view bytes, bool bText);

// True when standard output is a terminal or console window, not a file or a pipe.
bool StdoutIsTerminal();

}  // namespace platform
