// Gathering each data source for the report, live or from the saved data the options name.
// Each returns nullptr (or an empty result) with `*err` set when the named input cannot be
// used.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "base/utf8_path.h"
#include "battery/battery_info.h"
#include "cli/report_options.h"
#include "disk/hd_smart.h"
#include "platform/battery_system.h"
#include "platform/drive_system.h"
#include "probe/recorded_drive.h"

class CSMBios;

namespace cli {

// A source with the system it read from, which it keeps using.
struct GatheredDisk {
    std::unique_ptr<platform::IDriveSystem> drives;
    // With --save: between the probe's command sequence and `drives`, keeping each call's
    // outcome; the reader then reads `replay`, the same outcomes answered again.
    std::unique_ptr<platform::CRecordingDriveSystem> recorder;
    std::unique_ptr<platform::CReplayDriveSystem> replay;
    std::unique_ptr<CHdSmart> hdSmart;
};
struct GatheredBattery {
    std::unique_ptr<platform::IBatterySystem> batteries;
    std::unique_ptr<CBatteryInfo> battery;
};

// True when the command line names saved data of any kind. Then nothing is read live from
// this machine: a source whose data is not named stays empty.
inline bool NamesSavedData(const ReportOptions& options) {
    return options.fromDump || options.dmiDir || options.diskDump || options.powerSupply ||
           options.edid;
}

std::unique_ptr<CSMBios> GatherSmbios(const ReportOptions& options, std::string* err);
GatheredDisk GatherDisk(const ReportOptions& options, std::string* err);
GatheredBattery GatherBattery(const ReportOptions& options, std::string* err);

// A path named on the command line (UTF-8) as the file system takes it on every system, and
// the UTF-8 name of a path, for messages and the file reader.
using base::PathOf;
using base::Utf8Of;

}  // namespace cli
