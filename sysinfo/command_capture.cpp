#include "sysinfo/command_capture.h"

#include <array>

#include "platform/process_runner.h"

namespace sysinfo {
namespace {

// `output`, longer than kMaxOutputBytes, cut to its last whole line within the limit (or to
// the limit when no line ends there) and closed with the notice line.
void CutOutput(std::string& output) {
    output.resize(kMaxOutputBytes);
    const std::size_t lineEnd = output.rfind('\n');
    if (lineEnd != std::string::npos) {
        output.resize(lineEnd + 1);
    } else {
        output += "\r\n";
    }
    output += kOutputCutText;
}

}  // namespace

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
        const bool full = output.size() > kMaxOutputBytes;
        if (full) CutOutput(output);
        view.showText(output);
        view.pause(kPauseAfterRead);
        if (full) break;  // closing the pipe ends the command's writes
    }
    runner.Close();
    return CaptureResult::kFinished;
}

}  // namespace sysinfo
