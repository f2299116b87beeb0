#include "platform/elevate.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
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

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

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
    if (ended) {
        while ((reaped = ::waitpid(m_nPid, &status, 0)) < 0 && errno == EINTR) {
        }
    } else {
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

std::unique_ptr<IPrivilegedRead> StartPrivilegedRead() {
    if (::geteuid() == 0) return std::make_unique<CDirectRead>();
    const auto probePath = ProbePath();
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
    auto read = std::make_unique<CProbeRead>();
    std::string err;
    if (!read->Start(*probePath, &err))
        return std::make_unique<CDirectRead>("the probe could not be started: " + err +
                                             kWithoutRoot);
    return read;
}

}  // namespace platform
