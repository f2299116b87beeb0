// A sample laptop for the window's tests and screenshots: SMBIOS tables, an ATA drive, a
// Li-ion battery and a 14-inch panel held by the platform fakes, and a scripted summary
// command.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pages/dialog_seams.h"
#include "platform/fake/fake_battery_system.h"
#include "platform/fake/fake_drive_system.h"
#include "platform/fake/fake_panel_edid.h"
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
    platform::CFakePanelEdidSource panel;
    platform::CFakeProcessRunner runner;
    std::vector<std::chrono::milliseconds> pauses;
    std::function<void()> onPause;
};

// SMBIOS tables of the sample laptop: BIOS, system, board, three caches, the processor, two
// memory modules and an empty slot, the portable battery.
platform::RawSmbios SampleSmbiosTables();

// The EDID of the sample laptop's panel: an EDID 1.4 base block of a 14-inch 1920 x 1080
// AUO panel, 8 bits per colour, its part number in a text descriptor, checksum right.
std::vector<std::uint8_t> SampleEdid();

}  // namespace testsupport
