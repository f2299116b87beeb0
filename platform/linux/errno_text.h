// Messages about a failed POSIX call, for the Linux wrappers.
#pragma once

#include <string>

namespace platform {

// "context: strerror(code)".
std::string ErrnoText(const std::string& context, int code);

}  // namespace platform
