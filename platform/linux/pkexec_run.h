// Running a program through pkexec and taking its standard output within a size and a time
// limit: the window's only way to root.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/linux/unique_fd.h"

namespace platform {

// pkexec where every distribution installs it; never looked up on the user's PATH.
inline constexpr const char* kPkexecPath = "/usr/bin/pkexec";
// pkexec's own exit statuses when the program never ran (pkexec(1)): 126 the user dismissed
// the authentication dialog; 127 not authorized, no authentication agent, or pkexec itself
// cannot work (not setuid, no polkit daemon).
inline constexpr int kPkexecDismissed = 126;
inline constexpr int kPkexecNotAuthorized = 127;

// How one run ended, as its caller saw it.
struct PkexecRun {
    int nExecErrno = 0;       // nonzero: pkexec could not be started (its errno)
    bool bTimedOut = false;   // the time limit passed first
    bool bOversized = false;  // more than the size limit came
    bool bExited = false;     // with nExitStatus; otherwise ended by nSignal (if reaped)
    int nExitStatus = 0;
    int nSignal = 0;
    std::vector<std::uint8_t> output;
};

// True when `path` and every folder above it are root's and no one else can change them:
// owned by root, not writable by a group other than root's or by others (a sticky folder,
// as /tmp, lets no one else rename root's entries), and no symbolic link on the way.
// Otherwise false with `*why` naming the first that is not.
bool IsRootsAlone(const std::string& path, std::string* why);

// True when `path` is a regular file this process may execute.
bool IsExecutableFile(const std::string& path);

// True when this process runs as root.
bool RunsAsRoot();

// One run of `pkexec program`, started at once; Finish reads its output.
class CPkexecProcess {
public:
    CPkexecProcess() = default;
    ~CPkexecProcess();
    CPkexecProcess(const CPkexecProcess&) = delete;
    CPkexecProcess& operator=(const CPkexecProcess&) = delete;

    // Starts `pkexec program` with standard output on a pipe, even when this process's own
    // standard output or error is closed. False with `*err` set when no process could be
    // made; an exec that fails in the child shows in Finish.
    bool Start(const std::string& pkexec, const std::string& program, std::string* err);
    // Reads at most `maxBytes` + 1 bytes until the output ends or `limit` has passed, then
    // collects the process, waiting for its exit no longer than the same limit. A process still
    // running then is killed when it can be (the program runs as root, out of the user's reach)
    // and left behind otherwise.
    PkexecRun Finish(std::chrono::milliseconds limit, std::size_t maxBytes);

private:
    pid_t m_nPid = -1;
    CUniqueFd m_hOut;      // the program's standard output
    CUniqueFd m_hExecErr;  // carries exec's errno when pkexec could not be started
};

}  // namespace platform
