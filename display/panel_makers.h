// The names of the makers of laptop display panels, by the three-letter id an EDID carries.
#pragma once

#include <string_view>

namespace display {

// The maker's name (ASCII) for a three-letter id, or "" when the table does not know it.
std::string_view PanelMakerName(std::string_view id);

}  // namespace display
