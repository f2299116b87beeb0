// The display panel page: the facts of the built-in panel's EDID under their labels.
#pragma once

#include <optional>
#include <string>

#include "display/edid.h"

namespace display {

// Nine lines (maker, panel text, product code, date of manufacture, diagonal, first detailed
// timing, colour depth, EDID version, checksum) joined by CR LF, none after the last. Without
// an EDID (nullopt) every value is empty and the units stay.
std::string BuildPanelPage(const std::optional<EdidPanel>& panel);

}  // namespace display
