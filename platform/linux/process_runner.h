// Running a command line through /bin/sh on Linux, behind the process seam.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "platform/process_runner.h"

namespace platform {

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
    // Also returns nullopt once Terminate was called, even while a program that left the
    // command's process group still holds the pipe.
    std::optional<std::size_t> Read(std::span<char> buffer) override;
    // SIGKILL to the command's process group (the shell and what it started).
    void Terminate() override;
    void Close() override;

private:
    std::string m_strShell;
    int m_hReadFd = -1;
    int m_hWriteFd = -1;
    // Readable once Terminate was called: wakes a Read that waits on another thread.
    int m_hStopFd = -1;
    // The command's process group, 0 when none runs.
    std::atomic<pid_t> m_nGroup = 0;
};

// `text` quoted for /bin/sh so that it stays one word whatever it holds.
std::string ShellQuote(std::string_view text);

}  // namespace platform
