#include "platform/elevate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/file_io.h"
#include "platform/linux/unique_fd.h"

namespace platform {
namespace {

// pkexec's own exit statuses when the program never ran as root (pkexec(1)): 126 the user
// dismissed the authentication dialog; 127 not authorized, no authentication agent, or pkexec
// itself cannot work (not setuid, no polkit daemon).
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorized = 127;

constexpr const char* kWithoutRoot =
    "; the SMBIOS and disk pages show only what an ordinary user can read";

bool IsSet(const std::optional<std::string>& value) {
    return value && !value->empty();
}

// Forks and runs argv[0] with argv. A close-on-exec pipe carries exec's errno back, so a
// program that could not be started is told apart from one that exited with 127.
struct ChildResult {
    int nExecErrno = 0;  // nonzero: exec failed with this errno
    int nWaitStatus = 0;
};

std::optional<ChildResult> RunAndWait(const std::vector<std::string>& argv, std::string* err) {
    std::vector<char*> cargv;
    for (const std::string& arg : argv) cargv.push_back(const_cast<char*>(arg.c_str()));
    cargv.push_back(nullptr);

    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        *err = ErrnoText("pipe", errno);
        return std::nullopt;
    }
    CUniqueFd readEnd(fds[0]);
    CUniqueFd writeEnd(fds[1]);
    const pid_t pid = ::fork();
    if (pid < 0) {
        *err = ErrnoText("fork", errno);
        return std::nullopt;
    }
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec.
        ::execv(cargv[0], cargv.data());
        const int code = errno;
        [[maybe_unused]] const ssize_t n = ::write(writeEnd.Get(), &code, sizeof code);
        ::_exit(kPkexecNotAuthorized);
    }
    writeEnd.Reset();

    ChildResult result;
    ssize_t got;
    do {
        got = ::read(readEnd.Get(), &result.nExecErrno, sizeof result.nExecErrno);
    } while (got < 0 && errno == EINTR);
    if (got != static_cast<ssize_t>(sizeof result.nExecErrno)) result.nExecErrno = 0;

    while (::waitpid(pid, &result.nWaitStatus, 0) < 0) {
        if (errno != EINTR) {
            *err = ErrnoText("waitpid", errno);
            return std::nullopt;
        }
    }
    return result;
}

}  // namespace

bool PolkitActionCovers(const std::string& policyFile, const std::string& self) {
    const auto bytes = ReadFileBytes(policyFile, 64 * 1024);
    if (!bytes) return false;
    const std::string text(bytes->begin(), bytes->end());
    return text.find("<annotate key=\"org.freedesktop.policykit.exec.path\">" + self +
                     "</annotate>") != std::string::npos;
}

std::vector<std::string> PkexecCommand(const std::string& pkexec, const std::string& self,
                                       bool bActionCoversSelf, const EnvLookup& env) {
    const auto display = env("DISPLAY");
    const auto xauthority = env("XAUTHORITY");
    const auto waylandDisplay = env("WAYLAND_DISPLAY");
    const auto qpaPlatform = env("QT_QPA_PLATFORM");
    const bool wayland =
        IsSet(waylandDisplay) || (IsSet(qpaPlatform) && qpaPlatform->starts_with("wayland"));

    if (bActionCoversSelf && !wayland && !IsSet(qpaPlatform) &&
        (!IsSet(display) || IsSet(xauthority))) {
        return {pkexec, self};
    }
    std::vector<std::string> argv{pkexec, "/usr/bin/env"};
    auto carry = [&argv](const char* name, const std::optional<std::string>& value) {
        if (IsSet(value)) argv.push_back(std::string(name) + "=" + *value);
    };
    carry("DISPLAY", display);
    if (IsSet(xauthority)) {
        carry("XAUTHORITY", xauthority);
    } else if (IsSet(display)) {
        // Xlib's default cookie file is the user's; as root it would look in /root instead.
        const auto home = env("HOME");
        if (IsSet(home)) argv.push_back("XAUTHORITY=" + *home + "/.Xauthority");
    }
    if (wayland) {
        // Only with Wayland: otherwise root has no business in the user's runtime folder.
        carry("WAYLAND_DISPLAY", waylandDisplay);
        carry("XDG_RUNTIME_DIR", env("XDG_RUNTIME_DIR"));
    }
    carry("QT_QPA_PLATFORM", qpaPlatform);
    argv.push_back(self);
    return argv;
}

std::optional<std::string> FindOnPath(const std::string& program, const EnvLookup& env) {
    const std::string path = env("PATH").value_or("/usr/local/bin:/usr/bin:/bin");
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos) end = path.size();
        const std::string dir = path.substr(start, end - start);
        start = end + 1;
        // An empty entry means the current folder; never look there for a setuid helper.
        if (dir.empty() || dir.front() != '/') continue;
        const std::string candidate = dir + "/" + program;
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<int> RunAsRoot(const std::string& self, bool bIsRoot, const EnvLookup& env,
                             const std::string& policyFile, std::string* why) {
    why->clear();
    if (bIsRoot) return std::nullopt;
    // pkexec puts PKEXEC_UID into the environment of what it runs: seeing it without being
    // root means the root run did not give root, and asking again would loop.
    if (IsSet(env("PKEXEC_UID"))) {
        *why =
            std::string("running without root: started by pkexec, but not as root") + kWithoutRoot;
        return std::nullopt;
    }
    const auto pkexec = FindOnPath("pkexec", env);
    if (!pkexec) {
        *why = std::string("running without root: pkexec was not found") + kWithoutRoot;
        return std::nullopt;
    }
    std::string err;
    const auto child =
        RunAndWait(PkexecCommand(*pkexec, self, PolkitActionCovers(policyFile, self), env), &err);
    if (!child) {
        *why = "running without root: " + err + kWithoutRoot;
        return std::nullopt;
    }
    if (child->nExecErrno != 0) {
        *why = "running without root: " + ErrnoText(*pkexec, child->nExecErrno) + kWithoutRoot;
        return std::nullopt;
    }
    const int status = child->nWaitStatus;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    if (code == kPkexecDismissed) {
        *why = std::string("running without root: the authentication was dismissed") + kWithoutRoot;
        return std::nullopt;
    }
    if (code == kPkexecNotAuthorized) {
        *why = std::string(
                   "running without root: pkexec could not run it as root (not authorized, or "
                   "no authentication agent)") +
               kWithoutRoot;
        return std::nullopt;
    }
    return code;
}

void ElevateOrContinue() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        std::fprintf(stderr, "quorrix: running without root: %s%s\n",
                     ErrnoText("/proc/self/exe", errno).c_str(), kWithoutRoot);
        return;
    }
    const std::string self(buffer, static_cast<std::size_t>(n));
    const EnvLookup env = [](std::string_view name) -> std::optional<std::string> {
        const char* value = std::getenv(std::string(name).c_str());
        if (!value) return std::nullopt;
        return std::string(value);
    };
    std::string why;
    const auto status = RunAsRoot(self, ::geteuid() == 0, env, kPolkitActionFile, &why);
    if (status) std::exit(*status);
    if (!why.empty()) {
        const std::string name = self.substr(self.find_last_of('/') + 1);
        std::fprintf(stderr, "%s: %s\n", name.c_str(), why.c_str());
    }
}

}  // namespace platform
