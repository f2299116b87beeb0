#include "cli/inputs.h"

namespace cli {

std::optional<std::string> GatherBatteryPage(const ReportOptions&, const CSMBios&, std::string* err) {
    *err = "the battery page is not available in this build";
    return std::nullopt;
}

}  // namespace cli
