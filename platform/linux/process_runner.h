// Running a command line through /bin/sh on Linux, behind the process seam.
#pragma once

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
    std::optional<std::size_t> Read(std::span<char> buffer) override;
    void Close() override;

private:
    std::string m_strShell;
    int m_hReadFd = -1;
    int m_hWriteFd = -1;
};

// `text` quoted for /bin/sh so that it stays one word whatever it holds.
std::string ShellQuote(std::string_view text);

}  // namespace platform
