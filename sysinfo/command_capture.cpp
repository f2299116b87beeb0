#include "sysinfo/command_capture.h"

#include <array>

#include "platform/process_runner.h"

namespace sysinfo {

CaptureResult RunCommand(platform::IProcessRunner& runner, const std::string& commandLine,
                         const CaptureView& view) {
    if (!runner.OpenPipe(nullptr)) {
        view.notify(kPipeFailedText, view.strAppName);
        return CaptureResult::kPipeFailed;
    }
    if (!runner.Start(commandLine, nullptr)) {
        view.notify(kStartFailedText, view.strAppName);
        runner.Close();
        return CaptureResult::kStartFailed;
    }

    std::array<char, kReadBufferBytes> buffer{};
    std::string output;
    // Each pass shows everything so far, so a character cut between two reads is whole
    // again after the next one.
    while (const auto n = runner.Read(std::span<char>(buffer.data(), kMaxReadBytes))) {
        output.append(buffer.data(), *n);
        view.showText(output);
        view.pause(kPauseAfterRead);
    }
    runner.Close();
    return CaptureResult::kFinished;
}

}  // namespace sysinfo
