// Running quorrix-probe through pkexec and taking its stream: the window's only way to root.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "probe/probe_stream.h"

namespace platform {

// pkexec where every distribution installs it; never looked up on the user's PATH.
inline constexpr const char* kPkexecPath = "/usr/bin/pkexec";
// From the user's prompt to the probe's last byte: time to type a password, and five drive
// commands of up to 20 s each.
inline constexpr std::chrono::seconds kProbeTimeLimit{150};

// How one run ended, as the window saw it.
struct ProbeRun {
    int nExecErrno = 0;       // nonzero: pkexec could not be started (its errno)
    bool bTimedOut = false;   // the time limit passed first
    bool bOversized = false;  // more than kMaxProbeStreamBytes came
    bool bExited = false;     // with nExitStatus; otherwise ended by nSignal (if reaped)
    int nExitStatus = 0;
    int nSignal = 0;
    std::vector<std::uint8_t> output;
};

// The probe's data, or nullopt with `*why` saying in one line what went wrong: pkexec's
// own statuses (126 dismissed, 127 not authorized or no agent), the probe's, a signal, the
// time limit, the size cap, or a stream the reader refuses.
std::optional<probe::ProbeData> JudgeProbeRun(const ProbeRun& run, std::string* why);

// True when `path` and every folder above it are root's and no one else can change them:
// owned by root, not writable by a group other than root's or by others (a sticky folder,
// as /tmp, lets no one else rename root's entries), and no symbolic link on the way.
// Otherwise false with `*why` naming the first that is not.
bool IsRootsAlone(const std::string& path, std::string* why);

// One run of `pkexec probe`, started at once; Finish reads its output.
class CProbeProcess {
public:
    CProbeProcess() = default;
    ~CProbeProcess();
    CProbeProcess(const CProbeProcess&) = delete;
    CProbeProcess& operator=(const CProbeProcess&) = delete;

    // Starts `pkexec probe` with standard output on a pipe, even when this process's own
    // standard output or error is closed. False with `*err` set when no process could be
    // made; an exec that fails in the child shows in Finish.
    bool Start(const std::string& pkexec, const std::string& probe, std::string* err);
    // Reads at most kMaxProbeStreamBytes + 1 bytes until the output ends or `limit` has
    // passed, then collects the process, waiting for its exit no longer than the same limit. A
    // process still running then is killed when it can be (the probe runs as root, out of the
    // user's reach) and left behind otherwise.
    ProbeRun Finish(std::chrono::milliseconds limit);

private:
    pid_t m_nPid = -1;
    CUniqueFd m_hOut;      // the probe's standard output
    CUniqueFd m_hExecErr;  // carries exec's errno when pkexec could not be started
};

}  // namespace platform
