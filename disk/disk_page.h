// The hard-disk page: the six texts of CHdSmart under their labels.
#pragma once

#include <string>

class CHdSmart;

namespace disk {

// Six lines (model, serial, firmware, power cycles, power-on hours, temperature) joined by
// CR LF, without a line break after the last; an empty text leaves its label and unit.
std::string BuildDiskPage(const CHdSmart& hdSmart);

}  // namespace disk
