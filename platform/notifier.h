// How a data source tells the user something. The window shows a message box; the report
// tool prints a line on stderr; tests record the call.
#pragma once

#include <functional>
#include <string_view>

namespace platform {

// Shows `text` under `caption`, both page text (GBK), with one OK button, and returns when
// the user has dismissed it.
using Notifier = std::function<void(std::string_view text, std::string_view caption)>;

}  // namespace platform
