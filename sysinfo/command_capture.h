// RunCommand's loop: one command line through the system's command interpreter, its output streamed
// into the page pane piece by piece while it runs. Knows nothing of widgets: the caller says how to
// show text, how to pause and how to tell the user.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/notifier.h"

namespace platform {
class IProcessRunner;
}

namespace sysinfo {

inline constexpr std::size_t kReadBufferBytes = 4096;
inline constexpr std::size_t kMaxReadBytes = kReadBufferBytes - 1;
inline constexpr std::chrono::milliseconds kPauseAfterRead{1000};

// The most output one run keeps (1 MB); the rest is not read.
inline constexpr std::size_t kMaxOutputBytes = std::size_t{1} << 20;
// The last line of an output cut at kMaxOutputBytes, its own line end included (GBK):
// "（输出超过 1 MB，其余已略去）".
inline constexpr std::string_view kOutputCutText =
    "\xA3\xA8\xCA\xE4\xB3\xF6\xB3\xAC\xB9\xFD 1 MB\xA3\xAC\xC6\xE4\xD3\xE0\xD2\xD1\xC2\xD4"
    "\xC8\xA5\xA3\xA9\r\n";

// The two messages of a failed run (GBK; ASCII only).
inline constexpr std::string_view kPipeFailedText = "CreatePipe Failed";
inline constexpr std::string_view kStartFailedText = "CreateProcess failed!";

struct CaptureView {
    // Puts the whole output received so far (GBK, unchanged) into the pane and repaints at once.
    std::function<void(const std::string& text)> showText;
    // Waits between two reads; the window passes a real sleep of kPauseAfterRead.
    std::function<void(std::chrono::milliseconds)> pause;
    // Shows a failure message with one OK button.
    platform::Notifier notify;
    // Caption of the failure messages: the application's name (GBK).
    std::string strAppName;
};

enum class CaptureResult {
    kFinished,     // the output ended; the pane holds all of it
    kPipeFailed,   // "CreatePipe Failed" was shown; the pane is unchanged
    kStartFailed,  // "CreateProcess failed!" was shown; the pane is unchanged
};

// Runs `commandLine` through `runner` (the system's command interpreter). After each read of at
// most kMaxReadBytes bytes it shows the accumulated output and pauses kPauseAfterRead; it returns
// when a read reports the end of the output, or after telling the user that the run could not
// start. Output beyond kMaxOutputBytes is dropped: the text is cut after its last whole line
// within the limit, kOutputCutText is added as its last line, and the pipe is closed without
// reading further (kFinished).
CaptureResult RunCommand(platform::IProcessRunner& runner, const std::string& commandLine,
                         const CaptureView& view);

}  // namespace sysinfo
