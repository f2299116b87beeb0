#include "platform/linux/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "platform/file_io.h"
#include "platform/linux/errno_text.h"
#include "platform/linux/unique_fd.h"
#include "platform/system_sources.h"

extern char** environ;

namespace platform {
namespace {

bool SetErr(std::string* err, const std::string& context, int code) {
    if (err) *err = ErrnoText(context, code);
    return false;
}

void CloseFd(int* fd) {
    if (*fd >= 0) ::close(*fd);
    *fd = -1;
}

// In a forked child: report why the shell could not be started through the status pipe, and
// end. Only async-signal-safe calls, as the parent may have other threads.
[[noreturn]] void ReportAndExit(int statusFd, int code) {
    ssize_t written;
    do {
        written = ::write(statusFd, &code, sizeof code);
    } while (written < 0 && errno == EINTR);
    ::_exit(127);
}

// The errno that a child sent through the status pipe, or 0 when the pipe closed without
// a word, which happens when exec succeeded (the pipe is close-on-exec).
int ReadStartStatus(int statusFd) {
    int code = 0;
    std::size_t got = 0;
    auto* bytes = reinterpret_cast<char*>(&code);
    while (got < sizeof code) {
        const ssize_t n = ::read(statusFd, bytes + got, sizeof code - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got == 0) return 0;
    return (got == sizeof code && code != 0) ? code : EIO;
}

}  // namespace

CLinuxProcessRunner::CLinuxProcessRunner(std::string shellPath)
    : m_strShell(std::move(shellPath)) {}

CLinuxProcessRunner::~CLinuxProcessRunner() {
    Close();
}

bool CLinuxProcessRunner::OpenPipe(std::string* err) {
    Close();
    int fds[2];
    // Close-on-exec: no other program this process starts should hold an end; the child
    // gets the write end through dup2, which clears the flag on the copy.
    if (::pipe2(fds, O_CLOEXEC) != 0) return SetErr(err, "pipe", errno);
    m_hReadFd = fds[0];
    m_hWriteFd = fds[1];
    m_hStopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_hStopFd < 0) {
        const int code = errno;
        Close();
        return SetErr(err, "eventfd", code);
    }
    return true;
}

bool CLinuxProcessRunner::Start(const std::string& commandLine, std::string* err) {
    if (m_hReadFd < 0 || m_hWriteFd < 0) return SetErr(err, "start " + m_strShell, EBADF);
    auto fail = [&](const std::string& context, int code) {
        Close();
        return SetErr(err, context, code);
    };

    // Everything the child needs is prepared here: between fork and exec only
    // async-signal-safe calls are allowed.
    std::string shell = m_strShell;
    std::string arg0 = "sh";
    std::string arg1 = "-c";
    std::string command = commandLine;
    char* argv[] = {arg0.data(), arg1.data(), command.data(), nullptr};

    CUniqueFd devNull(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    if (!devNull.Valid()) return fail("/dev/null", errno);
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) return fail("pipe", errno);
    CUniqueFd statusRead(status[0]);
    CUniqueFd statusWrite(status[1]);

    const pid_t pid = ::fork();
    if (pid < 0) return fail("fork", errno);
    if (pid == 0) {
        // A session of its own: the command has no controlling terminal, cannot read ours
        // and does not get the terminal's signals.
        ::setsid();
        // Copies above 2 first: a program started with 0, 1 or 2 closed may have got one of
        // them for a pipe or /dev/null, and dup2 onto the same number would keep
        // close-on-exec set or overwrite another end.
        int report = ::fcntl(statusWrite.Get(), F_DUPFD_CLOEXEC, 3);
        if (report < 0) report = statusWrite.Get();
        const int out = ::fcntl(m_hWriteFd, F_DUPFD_CLOEXEC, 3);
        const int in = ::fcntl(devNull.Get(), F_DUPFD_CLOEXEC, 3);
        if (out < 0 || in < 0 || ::dup2(in, STDIN_FILENO) < 0 || ::dup2(out, STDOUT_FILENO) < 0 ||
            ::dup2(out, STDERR_FILENO) < 0) {
            ReportAndExit(report, errno);
        }
        // The shell runs in a grandchild and this child ends at once, so the shell is
        // adopted by init and reaped there: nothing here waits for the command, and no
        // zombie is left behind for each run.
        const pid_t shellPid = ::fork();
        if (shellPid < 0) ReportAndExit(report, errno);
        if (shellPid == 0) {
            ::execve(shell.c_str(), argv, environ);
            ReportAndExit(report, errno);
        }
        ::_exit(0);
    }

    // Only the child and the shell keep a write end now, so the read ends when they are done.
    CloseFd(&m_hWriteFd);
    statusWrite.Reset();
    int childStatus = 0;
    while (::waitpid(pid, &childStatus, 0) < 0 && errno == EINTR) {
    }
    const int code = ReadStartStatus(statusRead.Get());
    if (code != 0) return fail("start " + m_strShell, code);
    // The first child made itself leader of a new session and process group, which the shell
    // and everything it starts inherit; the group outlives that child for as long as they run.
    m_nGroup = pid;
    return true;
}

std::optional<std::size_t> CLinuxProcessRunner::Read(std::span<char> buffer) {
    if (m_hReadFd < 0 || buffer.empty()) return std::nullopt;
    for (;;) {
        pollfd waits[2] = {{m_hReadFd, POLLIN, 0}, {m_hStopFd, POLLIN, 0}};
        const int ready = ::poll(waits, m_hStopFd >= 0 ? 2 : 1, -1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || (waits[1].revents & POLLIN) != 0) return std::nullopt;
        const ssize_t n = ::read(m_hReadFd, buffer.data(), buffer.size());
        if (n > 0) return static_cast<std::size_t>(n);
        if (n < 0 && errno == EINTR) continue;
        return std::nullopt;  // 0: every writer has closed its end
    }
}

void CLinuxProcessRunner::Terminate() {
    // Once every member has ended, the group is gone and kill reports ESRCH (its number is
    // not given to a new process while a member lives).
    const pid_t group = m_nGroup.load();
    if (group <= 0) return;
    ::kill(-group, SIGKILL);
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_hStopFd, &one, sizeof one);
}

void CLinuxProcessRunner::Close() {
    m_nGroup = 0;
    CloseFd(&m_hWriteFd);
    CloseFd(&m_hReadFd);
    CloseFd(&m_hStopFd);
}

std::optional<std::string> RunningExecutablePath() {
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || path.empty()) return std::nullopt;
    // A program file replaced while running (a rebuild, a package upgrade) reads as
    // "<path> (deleted)"; the path is still where the program and its companions live.
    std::string text = path.string();
    constexpr std::string_view kDeleted = " (deleted)";
    if (text.ends_with(kDeleted)) text.resize(text.size() - kDeleted.size());
    return text;
}

std::string ShellQuote(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    quoted += '\'';
    return quoted;
}

}  // namespace platform
