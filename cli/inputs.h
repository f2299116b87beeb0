// Gathering each data source for the report, live or from the saved data the options name.
// Each returns nullopt with `*err` set when the named input cannot be used.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/report_options.h"

class CSMBios;

namespace cli {

std::unique_ptr<CSMBios> GatherSmbios(const ReportOptions& options, std::string* err);
std::optional<std::string> GatherDiskPage(const ReportOptions& options, std::string* err);
std::optional<std::string> GatherBatteryPage(const ReportOptions& options, const CSMBios& smbios,
                                             std::string* err);

}  // namespace cli
