// Saving the report from a main dialog: the same text quorrix-report prints, under a first
// line with the time, in a file the user chooses.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "pages/page_dispatch.h"
#include "platform/notifier.h"

namespace pages {

// Given the suggested file name, the path the user chose (UTF-8), or "" when they cancelled.
using ReportPathChooser = std::function<std::string(const std::string& suggestedName)>;

// Offers ReportFileName for the system serial `sources` hold, then writes ReportFileText of
// every page built from `sources` (read before: nothing is read again) to the chosen path, in
// this system's form, whole or not at all. A failed write is told through `notify`, under
// `gbkCaption`. True when the file was written.
bool SaveReport(const PageSources& sources, const ReportPathChooser& choosePath,
                const platform::Notifier& notify, std::string_view gbkCaption);

}  // namespace pages
