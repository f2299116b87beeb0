// Running one command line through the shell with its output captured on a pipe, and the
// location of the running program (the summary program is found beside it).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace platform {

// One capture, in the order a caller takes the steps: OpenPipe, Start, Read until it reports
// the end, Close. An object runs one command at a time; Close makes it ready for the next.
// Abstract so that the capture loop can be tested with scripted output.
class IProcessRunner {
public:
    virtual ~IProcessRunner() = default;

    // Creates the pipe that will carry the command's standard output and standard error.
    // False when the system refuses (no descriptors left); `*err` (if given) says why.
    [[nodiscard]] virtual bool OpenPipe(std::string* err) = 0;

    // Starts `/bin/sh -c commandLine` in a session of its own (no controlling terminal),
    // standard input from /dev/null, standard output and error both on the pipe, then closes
    // this side's copy of the write end, so that the output ends once the command and
    // everything it started have closed theirs. Nothing waits for the command to finish.
    // False when the shell could not be started (fork or exec failed, no pipe opened); the
    // pipe is closed then and `*err` (if given) says why.
    [[nodiscard]] virtual bool Start(const std::string& commandLine, std::string* err) = 0;

    // Waits until output is there and copies at most buffer.size() bytes of it. The number
    // of bytes copied (at least 1), or nullopt when the output has ended or cannot be read.
    [[nodiscard]] virtual std::optional<std::size_t> Read(std::span<char> buffer) = 0;

    // Closes whatever is still open. Safe to call at any step and more than once.
    virtual void Close() = 0;
};

// fork/exec and a pipe. The shell is /bin/sh unless a test names another program.
class CLinuxProcessRunner final : public IProcessRunner {
public:
    static constexpr const char* kDefaultShell = "/bin/sh";
    explicit CLinuxProcessRunner(std::string shellPath = kDefaultShell);
    ~CLinuxProcessRunner() override;
    CLinuxProcessRunner(const CLinuxProcessRunner&) = delete;
    CLinuxProcessRunner& operator=(const CLinuxProcessRunner&) = delete;

    bool OpenPipe(std::string* err) override;
    bool Start(const std::string& commandLine, std::string* err) override;
    std::optional<std::size_t> Read(std::span<char> buffer) override;
    void Close() override;

private:
    std::string m_strShell;
    int m_hReadFd = -1;
    int m_hWriteFd = -1;
};

// The absolute path of the program file this process runs (not argv[0], which the caller
// chooses), or nullopt when the system cannot say.
[[nodiscard]] std::optional<std::string> RunningExecutablePath();

}  // namespace platform
