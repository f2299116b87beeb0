// The application's name: the caption of message boxes that have none of their own.
#pragma once

#include <string>

namespace app {

// The base name of the running program file without its extension ("quorrix"), UTF-8.
std::string ApplicationName();

}  // namespace app
