// A sample laptop for the window's tests and screenshots: SMBIOS tables, an ATA drive and a
// Li-ion battery held by the platform fakes, and a scripted summary command.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "pages/dialog_seams.h"
#include "platform/fake/fake_battery_system.h"
#include "platform/fake/fake_drive_system.h"
#include "platform/fake/fake_process_runner.h"
#include "platform/smbios_source.h"

namespace testsupport {

// The summary output the scripted command gives, in three pieces (GBK, CR LF).
std::vector<std::string> SampleSummaryPieces();

class CSampleMachine {
public:
    CSampleMachine();

    // The seams over this machine; pauses are recorded (and `onPause` called), not slept.
    DialogSeams Seams();

    platform::CFixedSmbiosSource smbios;
    platform::CFakeDriveSystem drives;
    platform::CFakeBatterySystem batteries;
    platform::CFakeProcessRunner runner;
    std::vector<std::chrono::milliseconds> pauses;
    std::function<void()> onPause;
};

// SMBIOS tables of the sample laptop: BIOS, system, board, three caches, the processor, two
// memory modules and an empty slot, the portable battery.
platform::RawSmbios SampleSmbiosTables();

}  // namespace testsupport
