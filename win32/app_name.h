// The application's name: the base name of the program file without its extension. It is
// the caption of the message boxes that have none of their own.
#pragma once

#include <string>
#include <string_view>

namespace win32 {

// The name in `modulePath` (a full path with "\" or "/" separators), as page text (GBK).
std::string ApplicationNameOf(std::wstring_view modulePath);
// The name of the running program; "quorrix" if the system cannot say.
std::string ApplicationName();

}  // namespace win32
