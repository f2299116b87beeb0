// Text for a terminal line: names that arrive from outside (a path, a folder entry) shown in
// messages without letting their bytes drive the terminal.
#pragma once

#include <string>
#include <string_view>

namespace text {

// `utf8` with each control character written as an escape: the bytes 00-1F and 7F as
// "\xNN", the C1 controls U+0080-U+009F (C2 80-C2 9F) as "\u00NN". Everything else is kept,
// the backslash too (it separates Windows paths).
std::string Printable(std::string_view utf8);

}  // namespace text
