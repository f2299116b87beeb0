#include "cli/inputs.h"

namespace cli {

std::optional<std::string> GatherDiskPage(const ReportOptions&, std::string* err) {
    *err = "the hard-disk page is not available in this build";
    return std::nullopt;
}

}  // namespace cli
