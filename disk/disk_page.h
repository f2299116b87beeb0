// The hard-disk page: the texts of CHdSmart under their labels.
#pragma once

#include <string>

class CHdSmart;

namespace disk {

// Six lines (model, serial, firmware, power cycles, power-on hours, temperature), then the
// three wear lines of the kind of drive whose identity was read (ATA: reallocated, pending
// and offline-uncorrectable sectors; NVMe: life used, available spare, media errors); none
// when no identity was read. Joined by CR LF, without a line break after the last; an empty
// text leaves its label and unit.
std::string BuildDiskPage(const CHdSmart& hdSmart);

}  // namespace disk
