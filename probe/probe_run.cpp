#include "probe/probe_run.h"

#include "platform/linux/errno_text.h"

namespace platform {

std::optional<probe::ProbeData> JudgeProbeRun(const PkexecRun& run, std::string* why) {
    if (run.nExecErrno != 0) {
        *why = ErrnoText(kPkexecPath, run.nExecErrno);
        return std::nullopt;
    }
    if (run.bTimedOut) {
        *why = "the probe gave no answer within " + std::to_string(kProbeTimeLimit.count()) + " s";
        return std::nullopt;
    }
    if (run.bOversized) {
        *why = "the probe's answer was refused: more than " +
               std::to_string(probe::kMaxProbeStreamBytes) + " bytes";
        return std::nullopt;
    }
    if (!run.bExited) {
        *why = "the probe was ended by signal " + std::to_string(run.nSignal);
        return std::nullopt;
    }
    if (run.nExitStatus == kPkexecDismissed) {
        *why = "the authentication was dismissed";
        return std::nullopt;
    }
    if (run.nExitStatus == kPkexecNotAuthorized) {
        *why = "pkexec did not run the probe (not authorized, or no authentication agent)";
        return std::nullopt;
    }
    if (run.nExitStatus != 0) {
        *why = "the probe failed (exit status " + std::to_string(run.nExitStatus) + ")";
        return std::nullopt;
    }
    std::string err;
    auto data = probe::ReadProbeStream(run.output, &err);
    if (!data) {
        *why = "the probe's answer was refused: " + err;
        return std::nullopt;
    }
    return data;
}

}  // namespace platform
