// What the main dialog needs from the platform, in one bundle: the real objects in the
// program, fakes in tests.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace platform {
class ISmbiosSource;
class IDriveSystem;
class IBatterySystem;
class IPanelEdidSource;
class IProcessRunner;
}  // namespace platform

struct DialogSeams {
    platform::ISmbiosSource& smbiosSource;
    platform::IDriveSystem& drives;
    platform::IBatterySystem& batteries;
    platform::IPanelEdidSource& panelEdid;
    platform::IProcessRunner& processRunner;
    // The pause after each piece of the summary's output. Empty (the program): the window
    // waits that long while it goes on handling its events.
    std::function<void(std::chrono::milliseconds)> pause;
    // The command line that the other-information page runs through the shell.
    std::string strSummaryCommand;
    // Where the report is saved: given the suggested file name, the chosen path (UTF-8), ""
    // when cancelled. Empty (the program): the system's save dialog asks the user.
    std::function<std::string(const std::string& suggestedName)> chooseReportPath = {};
};
