// Running one command line through cmd.exe with its output captured on an anonymous pipe.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/process_runner.h"

namespace platform {

// CreateProcessA takes the command line in a writable buffer of this size, terminator included,
// so "cmd /C " and the command together hold at most 199 bytes.
inline constexpr std::size_t kCommandLineBufferBytes = 200;

// Starts `cmd /C commandLine` hidden, with standard output and standard error on one pipe and
// standard input on the NUL device. Only the pipe's write end and the NUL handle are
// inheritable, and each only until the child has started; the child's process and thread
// handles are closed at once, since nothing waits for the command.
class CWindowsProcessRunner final : public IProcessRunner {
public:
    // `interpreterPath` empty: cmd.exe in the system directory.
    explicit CWindowsProcessRunner(std::string interpreterPath = {});
    ~CWindowsProcessRunner() override;
    CWindowsProcessRunner(const CWindowsProcessRunner&) = delete;
    CWindowsProcessRunner& operator=(const CWindowsProcessRunner&) = delete;

    bool OpenPipe(std::string* err) override;
    // Also false, with the pipe closed, when "cmd /C " and `commandLine` do not fit
    // kCommandLineBufferBytes.
    bool Start(const std::string& commandLine, std::string* err) override;
    std::optional<std::size_t> Read(std::span<char> buffer) override;
    void Close() override;

private:
    std::string m_strInterpreter;
    void* m_hRead = nullptr;
    void* m_hWrite = nullptr;
};

// The runner for the summary page: cmd.exe from the system directory.
std::unique_ptr<IProcessRunner> MakeWindowsProcessRunner();

}  // namespace platform
