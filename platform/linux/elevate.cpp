#include "platform/elevate.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "platform/file_io.h"
#include "platform/linux/errno_text.h"
#include "platform/linux/probe_client.h"
#include "platform/system_sources.h"
#include "probe/probe_sources.h"

// Where the probe lies relative to the window's folder (bin/ -> libexec/quorrix/), from the
// install layout CMake was configured with.
#ifndef QUORRIX_PROBE_FROM_BINDIR
#define QUORRIX_PROBE_FROM_BINDIR "../libexec/quorrix/quorrix-probe"
#endif

namespace platform {
namespace {

// pkexec's own exit statuses when the program never ran (pkexec(1)): 126 the user dismissed
// the authentication dialog; 127 not authorized, no authentication agent, or pkexec itself
// cannot work (not setuid, no polkit daemon).
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorized = 127;

constexpr const char* kWithoutRoot =
    "; the SMBIOS and disk pages show only what an ordinary user can read";

// Root's own window: the system's sources, read directly.
class CDirectRead final : public IPrivilegedRead {
public:
    explicit CDirectRead(std::string why = "") : m_strWhy(std::move(why)) {}
    PrivilegedSources Finish() override {
        return {MakeSystemSmbiosSource(), MakeSystemDriveSystem(), m_strWhy};
    }

private:
    std::string m_strWhy;
};

class CProbeRead final : public IPrivilegedRead {
public:
    CProbeRead() = default;
    bool Start(const std::string& probePath, std::string* err) {
        return m_process.Start(kPkexecPath, probePath, err);
    }
    PrivilegedSources Finish() override {
        const ProbeRun run = m_process.Finish(
            std::chrono::duration_cast<std::chrono::milliseconds>(kProbeTimeLimit));
        std::string why;
        const auto data = JudgeProbeRun(run, &why);
        if (!data) return CDirectRead(why + kWithoutRoot).Finish();
        return {probe::SmbiosSourceOf(*data), probe::DriveSystemOf(*data), ""};
    }

private:
    CProbeProcess m_process;
};

std::optional<std::string> ProbePath() {
    const auto self = RunningExecutablePath();
    if (!self) return std::nullopt;
    const std::filesystem::path path =
        (std::filesystem::path(*self).parent_path() / QUORRIX_PROBE_FROM_BINDIR).lexically_normal();
    return path.string();
}

// The probe built beside the window in a build tree: app/quorrix and probe/quorrix-probe.
std::optional<std::string> BuildProbePath() {
    const auto self = RunningExecutablePath();
    if (!self) return std::nullopt;
    return (std::filesystem::path(*self).parent_path() / "../probe/quorrix-probe")
        .lexically_normal()
        .string();
}

// A pipe end moved to descriptor 3 or above, so that it can be none of the standard ones
// (which a window started with them closed would hand out first).
bool AboveStandardFds(CUniqueFd& fd) {
    if (fd.Get() > STDERR_FILENO) return true;
    const int moved = ::fcntl(fd.Get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0) return false;
    fd.Reset(moved);
    return true;
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

bool IsRootsAlone(const std::string& path, std::string* why) {
    std::filesystem::path at = std::filesystem::path(path).lexically_normal();
    if (!at.is_absolute()) {
        *why = path + " is not an absolute path";
        return false;
    }
    bool first = true;
    while (true) {
        struct stat st {};
        const std::string name = at.string();
        if (::lstat(name.c_str(), &st) != 0) {
            *why = ErrnoText(name, errno);
            return false;
        }
        const bool sticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) && !first;
        std::string wrong;
        if (S_ISLNK(st.st_mode))
            wrong = "is a symbolic link";
        else if (st.st_uid != 0)
            wrong = "does not belong to root";
        else if ((st.st_mode & S_IWGRP) && st.st_gid != 0 && !sticky)
            wrong = "is writable by its group";
        else if ((st.st_mode & S_IWOTH) && !sticky)
            wrong = "is writable by every user";
        if (!wrong.empty()) {
            *why = name + " " + wrong;
            return false;
        }
        if (at == at.root_path()) return true;
        at = at.parent_path();
        first = false;
    }
}

std::optional<probe::ProbeData> JudgeProbeRun(const ProbeRun& run, std::string* why) {
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

CProbeProcess::~CProbeProcess() {
    if (m_nPid > 0) static_cast<void>(Finish(std::chrono::milliseconds(0)));
}

bool CProbeProcess::Start(const std::string& pkexec, const std::string& probe, std::string* err) {
    int out[2];
    int execErr[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        *err = ErrnoText("pipe", errno);
        return false;
    }
    CUniqueFd outRead(out[0]);
    CUniqueFd outWrite(out[1]);
    if (::pipe2(execErr, O_CLOEXEC) != 0) {
        *err = ErrnoText("pipe", errno);
        return false;
    }
    CUniqueFd errRead(execErr[0]);
    CUniqueFd errWrite(execErr[1]);
    if (!AboveStandardFds(outRead) || !AboveStandardFds(outWrite) || !AboveStandardFds(errRead) ||
        !AboveStandardFds(errWrite)) {
        *err = ErrnoText("fcntl", errno);
        return false;
    }
    std::vector<char*> argv{const_cast<char*>(pkexec.c_str()), const_cast<char*>(probe.c_str()),
                            nullptr};
    const pid_t pid = ::fork();
    if (pid < 0) {
        *err = ErrnoText("fork", errno);
        return false;
    }
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec. dup2 clears close-on-exec on
        // the copy, so the pipe becomes the program's standard output.
        if (::dup2(outWrite.Get(), STDOUT_FILENO) >= 0) ::execv(argv[0], argv.data());
        const int code = errno;
        [[maybe_unused]] const ssize_t n = ::write(errWrite.Get(), &code, sizeof code);
        ::_exit(kPkexecNotAuthorized);
    }
    m_nPid = pid;
    m_hOut = std::move(outRead);
    m_hExecErr = std::move(errRead);
    return true;
}

ProbeRun CProbeProcess::Finish(std::chrono::milliseconds limit) {
    ProbeRun run;
    if (m_nPid <= 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const std::size_t cap = probe::kMaxProbeStreamBytes + 1;
    std::vector<std::uint8_t> buffer(64 * 1024);
    bool ended = false;
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            run.bTimedOut = true;
            break;
        }
        pollfd pfd{m_hOut.Get(), POLLIN, 0};
        const int ready = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;  // the deadline check above ends the wait
        const ssize_t n = ::read(m_hOut.Get(), buffer.data(), buffer.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) {
            ended = true;
            break;
        }
        const std::size_t take =
            std::min<std::size_t>(static_cast<std::size_t>(n), cap - run.output.size());
        run.output.insert(run.output.end(), buffer.begin(),
                          buffer.begin() + static_cast<std::ptrdiff_t>(take));
        if (run.output.size() >= cap) {
            run.bOversized = true;
            break;
        }
    }
    m_hOut.Reset();  // a probe still writing gets EPIPE

    int status = 0;
    pid_t reaped = 0;
    // The output ended: the process exits now, unless it closed its output and went on.
    // The wait for that is bounded by the same deadline as the read.
    while (ended && reaped == 0) {
        reaped = ::waitpid(m_nPid, &status, WNOHANG);
        if (reaped < 0 && errno == EINTR) reaped = 0;
        if (reaped != 0) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            run.bTimedOut = true;
            ended = false;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!ended) {
        ::kill(m_nPid, SIGKILL);  // EPERM once pkexec has become the root probe
        for (int i = 0; i < 20 && reaped == 0; ++i) {
            reaped = ::waitpid(m_nPid, &status, WNOHANG);
            if (reaped == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (reaped == m_nPid) {
        run.bExited = WIFEXITED(status);
        run.nExitStatus = run.bExited ? WEXITSTATUS(status) : 0;
        run.nSignal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        int code = 0;
        if (::read(m_hExecErr.Get(), &code, sizeof code) == static_cast<ssize_t>(sizeof code))
            run.nExecErrno = code;
    }
    m_hExecErr.Reset();
    m_nPid = -1;
    return run;
}

std::unique_ptr<IPrivilegedRead> StartPrivilegedRead(bool bBuildProbe) {
    if (::geteuid() == 0) return std::make_unique<CDirectRead>();
    const auto probePath = bBuildProbe ? BuildProbePath() : ProbePath();
    if (!probePath) {
        return std::make_unique<CDirectRead>(std::string("the window's own path is unknown, so "
                                                         "is the probe's") +
                                             kWithoutRoot);
    }
    if (!IsExecutableFile(kPkexecPath))
        return std::make_unique<CDirectRead>(std::string("pkexec was not found (") + kPkexecPath +
                                             ")" + kWithoutRoot);
    if (!IsExecutableFile(*probePath))
        return std::make_unique<CDirectRead>("the probe " + *probePath + " is not installed" +
                                             kWithoutRoot);
    // What runs as root after an administrator's password must be root's alone: a probe that
    // its user could replace would run the user's code as root.
    std::string notRoots;
    if (bBuildProbe) {
        std::fprintf(stderr, "quorrix: --build-probe: running the build's probe %s as root\n",
                     probePath->c_str());
    } else if (!IsRootsAlone(*probePath, &notRoots)) {
        return std::make_unique<CDirectRead>("the probe is not run: " + notRoots + kWithoutRoot);
    }
    auto read = std::make_unique<CProbeRead>();
    std::string err;
    if (!read->Start(*probePath, &err))
        return std::make_unique<CDirectRead>("the probe could not be started: " + err +
                                             kWithoutRoot);
    return read;
}

}  // namespace platform
