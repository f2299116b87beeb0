#include "platform/linux/pkexec_run.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <thread>

#include "platform/linux/errno_text.h"

namespace platform {
namespace {

// A pipe end moved to descriptor 3 or above, so that it can be none of the standard ones
// (which a window started with them closed would hand out first).
bool AboveStandardFds(CUniqueFd& fd) {
    if (fd.Get() > STDERR_FILENO) return true;
    const int moved = ::fcntl(fd.Get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    if (moved < 0) return false;
    fd.Reset(moved);
    return true;
}

}  // namespace

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool RunsAsRoot() {
    return ::geteuid() == 0;
}

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

CPkexecProcess::~CPkexecProcess() {
    if (m_nPid > 0) static_cast<void>(Finish(std::chrono::milliseconds(0), 0));
}

bool CPkexecProcess::Start(const std::string& pkexec, const std::string& program,
                           std::string* err) {
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
    std::vector<char*> argv{const_cast<char*>(pkexec.c_str()), const_cast<char*>(program.c_str()),
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

PkexecRun CPkexecProcess::Finish(std::chrono::milliseconds limit, std::size_t maxBytes) {
    PkexecRun run;
    if (m_nPid <= 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const std::size_t cap = maxBytes + 1;
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
    m_hOut.Reset();  // a program still writing gets EPIPE

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
        ::kill(m_nPid, SIGKILL);  // EPERM once pkexec has become the root program
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

}  // namespace platform
