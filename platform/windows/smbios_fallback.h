// The firmware's SMBIOS table from one source, or from a second when the first has none that
// the decoder can use: on Windows WMI first, then the firmware table call.
#pragma once

#include <memory>

#include "platform/smbios_source.h"

namespace platform {

// True when `raw` holds a table the decoder takes: versions, and at least one byte but fewer
// than kWmiMaxHandedUpBytes.
[[nodiscard]] bool HasUsableTable(const RawSmbios& raw);

// Reads `first`; when it has no usable table (not reached, no instance, no version, no or an
// empty table, or one too large), reads `second`. The second's answer is taken when it has a
// usable table, or when it has a table and the first has none (a table too large then brings
// the decoder's message). Otherwise the first's answer stands, with its failure as it was: so
// a failure shows only when both sources failed.
[[nodiscard]] RawSmbios ReadWithFallback(ISmbiosSource& first, ISmbiosSource& second);

// ReadWithFallback over the two sources on each ReadTables.
std::unique_ptr<ISmbiosSource> MakeFallbackSmbiosSource(std::unique_ptr<ISmbiosSource> first,
                                                        std::unique_ptr<ISmbiosSource> second);

}  // namespace platform
