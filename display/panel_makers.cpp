#include "display/panel_makers.h"

#include <algorithm>
#include <array>
#include <utility>

namespace display {
namespace {

// Source: the PNP ID registry that the UEFI Forum keeps (uefi.org/PNP_ID_List), which assigns
// the manufacturer ids of EDID bytes 8-9. CSO, INX and LPL are registered to other companies
// but carry the panel makers named here on laptop panels, as those makers' panel datasheets
// show; for them the table gives the panel maker. Sorted by id.
constexpr std::array<std::pair<std::string_view, std::string_view>, 20> kMakers = {{
    {"APP", "Apple"},
    {"AUO", "AU Optronics"},
    {"BOE", "BOE Technology"},
    {"CMN", "Chimei Innolux"},
    {"CMO", "Chi Mei Optoelectronics"},
    {"CPT", "Chunghwa Picture Tubes"},
    {"CSO", "China Star Optoelectronics"},
    {"HSD", "HannStar Display"},
    {"INX", "Innolux"},
    {"IVO", "InfoVision Optoelectronics"},
    {"JDI", "Japan Display"},
    {"KDC", "Kyocera Display"},
    {"LEN", "Lenovo"},
    {"LGD", "LG Display"},
    {"LPL", "LG.Philips LCD"},
    {"NCP", "Nanjing CEC Panda"},
    {"QDS", "Quanta Display"},
    {"SDC", "Samsung Display"},
    {"SHP", "Sharp"},
    {"TMA", "Tianma Microelectronics"},
}};

}  // namespace

std::string_view PanelMakerName(std::string_view id) {
    const auto it =
        std::lower_bound(kMakers.begin(), kMakers.end(), id,
                         [](const auto& entry, std::string_view key) { return entry.first < key; });
    return it != kMakers.end() && it->first == id ? it->second : std::string_view{};
}

}  // namespace display
