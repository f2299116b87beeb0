// --save DIR and --from DIR of quorrix-report: a machine's raw data kept in one folder, in the
// layouts --dmi-dir, --disk-dump and --power-supply read, so it decodes anywhere later.
//   DIR/dmi/smbios_entry_point, DIR/dmi/DMI          the SMBIOS entry point and table
//   DIR/disk/identify.bin, smart.bin                 an ATA drive's replies, or
//   DIR/disk/id-ctrl.bin, smart-log.bin[, id-ns.bin] an NVMe controller's (id-ns.bin: namespace
//                                                    1's Identify Namespace, when it answered)
//   DIR/power_supply/NAME/...                        the first battery's attribute files
//   DIR/edid.bin                                     the built-in panel's EDID as read
// A part that was not read is left out; --from reads the parts that are there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/inputs.h"
#include "cli/report_options.h"
#include "platform/file_io.h"
#include "probe/recorded_drive.h"

class CSMBios;

namespace cli {

// The 24-byte SMBIOS 3 entry point ("_SM3_") of a table of `tableBytes` bytes with version
// `major`.`minor`, checksummed; what --save writes when the source had no entry point.
std::vector<std::uint8_t> SynthesizeEntryPoint(std::uint8_t major, std::uint8_t minor,
                                               std::uint32_t tableBytes);

// The drive files --disk-dump reads, from the recorded calls of drive 0: name and bytes, or
// nothing when the drive did not answer both of its kind's reads; an NVMe drive's id-ns.bin
// beside them when it answered Identify Namespace of namespace 1.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> SavedDriveFiles(
    const std::vector<platform::DriveRecord>& records);

// Writes the first battery of `batteries`, as the battery interface answers, into
// `outFolder`/BAT0 of `out` ("" is its top) as the attribute files the power_supply folder
// reader reads (what --save keeps where the system has no such folder). Nothing is written
// when there is no battery.
bool WriteBatteryFolder(platform::IBatterySystem& batteries, platform::ISaveFolder& out,
                        const std::string& outFolder, std::string* err);

// Points the three saved-data options at the subfolders of options.from that exist. False
// with `*err` set when it is not a folder or holds none of them.
bool ResolveFrom(ReportOptions* options, std::string* err);

// Writes what was read into options.save: built in a temporary folder beside it and renamed
// at the end, so a failure leaves no part behind (platform::BeginSaveFolder). Refuses a DIR
// that exists and is not an empty folder, or whose parent other users can change. Lines on
// stderr name the parts that could not be saved. `panelEdid` is the panel's EDID as read
// (empty: none was).
bool SaveTo(const ReportOptions& options, const CSMBios& smbios, const GatheredDisk& disk,
            const GatheredBattery& battery, std::span<const std::uint8_t> panelEdid,
            std::string* err);

}  // namespace cli
