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

// Starts `cmd /C commandLine` with no console of its own (CREATE_NO_WINDOW), with standard
// output and standard error on one pipe and standard input on the NUL device. Only the pipe's
// write end and the NUL handle are inheritable, and each only until the child has started.
// The child runs in a job object of its own, so that Terminate ends it together with what it
// started; nothing waits for the command.
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
    // Ends every process of the job (only cmd.exe itself where the system refused the job).
    void Terminate() override;
    void Close() override;

private:
    std::string m_strInterpreter;
    void* m_hRead = nullptr;
    void* m_hWrite = nullptr;
    void* m_hJob = nullptr;
    void* m_hProcess = nullptr;
};

// The runner for the summary page: cmd.exe from the system directory.
std::unique_ptr<IProcessRunner> MakeWindowsProcessRunner();

}  // namespace platform
