#include "platform/windows/process_runner_win32.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <limits>

namespace platform {
namespace {

// "context: the system's text (error N)", on one line.
std::string SystemErrorText(const std::string& context, DWORD code) {
    std::array<char, 512> text{};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             code, 0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string message(text.data(), std::min<std::size_t>(n, text.size()));
    // The system's texts end in "\r\n"; some hold line breaks inside.
    std::replace_if(
        message.begin(), message.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    while (!message.empty() && message.back() == ' ') message.pop_back();
    if (message.empty()) message = "unknown error";
    return context + ": " + message + " (error " + std::to_string(code) + ")";
}

bool SetErr(std::string* err, const std::string& context, DWORD code) {
    if (err) *err = SystemErrorText(context, code);
    return false;
}

void CloseAndClear(void** handle) {
    if (*handle != nullptr) CloseHandle(*handle);
    *handle = nullptr;
}

// The system directory, where the interpreter comes from and where it runs.
std::optional<std::string> SystemFolder() {
    std::array<char, MAX_PATH> folder{};
    const UINT n = GetSystemDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
    if (n == 0 || n >= folder.size()) return std::nullopt;
    return std::string(folder.data(), n);
}

// cmd.exe of the system directory. Naming it keeps CreateProcessA from searching the
// program's folder and the current folder first, where any cmd.exe would run with the
// program's (administrator) rights.
std::optional<std::string> SystemInterpreterPath() {
    const auto folder = SystemFolder();
    if (!folder) return std::nullopt;
    return *folder + "\\cmd.exe";
}

}  // namespace

CWindowsProcessRunner::CWindowsProcessRunner(std::string interpreterPath)
    : m_strInterpreter(std::move(interpreterPath)) {}

CWindowsProcessRunner::~CWindowsProcessRunner() {
    Close();
}

bool CWindowsProcessRunner::OpenPipe(std::string* err) {
    Close();
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof inherit;
    inherit.lpSecurityDescriptor = nullptr;
    inherit.bInheritHandle = TRUE;
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    // Size 0: the system chooses the pipe's buffer.
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return SetErr(err, "CreatePipe", GetLastError());
    }
    m_hRead = readEnd;
    m_hWrite = writeEnd;
    // The child needs only the write end. A child holding the read end as well would keep a
    // stray copy of it for its whole life.
    if (!SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0)) {
        const DWORD code = GetLastError();
        Close();
        return SetErr(err, "SetHandleInformation", code);
    }
    return true;
}

bool CWindowsProcessRunner::Start(const std::string& commandLine, std::string* err) {
    if (m_hRead == nullptr || m_hWrite == nullptr) {
        return SetErr(err, "CreateProcess", ERROR_INVALID_HANDLE);
    }
    auto fail = [&](const std::string& context, DWORD code) {
        Close();
        return SetErr(err, context, code);
    };

    const std::string line = "cmd /C " + commandLine;
    if (line.size() >= kCommandLineBufferBytes) {
        Close();
        if (err) {
            *err = "CreateProcess: the command line has " + std::to_string(line.size()) +
                   " bytes, at most " + std::to_string(kCommandLineBufferBytes - 1) + " fit";
        }
        return false;
    }
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::array<char, kCommandLineBufferBytes> buffer{};
    std::copy(line.begin(), line.end(), buffer.begin());

    std::string interpreter = m_strInterpreter;
    if (interpreter.empty()) {
        const auto system = SystemInterpreterPath();
        if (!system) return fail("GetSystemDirectory", GetLastError());
        interpreter = *system;
    }
    // The command runs in the system folder, not in this program's current folder (often
    // the download folder): a command named without a path would be looked for there first.
    const auto currentFolder = SystemFolder();
    if (!currentFolder) return fail("GetSystemDirectory", GetLastError());

    // Standard input is the NUL device, not this program's own: a windowed program's
    // standard input is often no handle at all, or a handle value that the child cannot use
    // or that names something else in it, and a command that reads its input would then wait
    // forever or fail oddly. NUL gives it an immediate end of input.
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) return fail("NUL", GetLastError());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    // The C runtime hands its file table to a child through these two fields; our own
    // parent's table means nothing to the child and would override the handles set below.
    startup.cbReserved2 = 0;
    startup.lpReserved2 = nullptr;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input;
    startup.hStdOutput = m_hWrite;
    startup.hStdError = m_hWrite;

    // No console of its own: no window in any terminal host, whatever becomes of SW_HIDE.
    // Suspended until it is in its job, so that nothing it starts escapes the job.
    constexpr DWORD kCreationFlags = CREATE_NO_WINDOW | CREATE_SUSPENDED;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessA(interpreter.c_str(), buffer.data(), nullptr, nullptr, TRUE,
                                        kCreationFlags, nullptr, currentFolder->c_str(), &startup,
                                        &process);
    const DWORD code = started ? ERROR_SUCCESS : GetLastError();
    CloseHandle(input);
    // Only the child (and what it starts) keeps a write end now, so the output ends when
    // they are done.
    CloseAndClear(&m_hWrite);
    if (!started) return fail("CreateProcess " + interpreter, code);
    // Without a job (a system that refuses to nest one) Terminate still ends cmd.exe itself.
    m_hJob = CreateJobObjectW(nullptr, nullptr);
    if (m_hJob != nullptr && !AssignProcessToJobObject(m_hJob, process.hProcess)) {
        CloseAndClear(&m_hJob);
    }
    m_hProcess = process.hProcess;
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    return true;
}

std::optional<std::size_t> CWindowsProcessRunner::Read(std::span<char> buffer) {
    if (m_hRead == nullptr || buffer.empty()) return std::nullopt;
    const DWORD want =
        static_cast<DWORD>(std::min<std::size_t>(buffer.size(), std::numeric_limits<DWORD>::max()));
    for (;;) {
        DWORD got = 0;
        // Fails with ERROR_BROKEN_PIPE once every write end is closed: the output has ended.
        if (!ReadFile(m_hRead, buffer.data(), want, &got, nullptr)) return std::nullopt;
        // A child's zero-byte write completes a read with nothing in it; that is no end.
        if (got > 0) return static_cast<std::size_t>(got);
    }
}

void CWindowsProcessRunner::Terminate() {
    constexpr UINT kExitCode = 1;
    if (m_hJob != nullptr) {
        TerminateJobObject(m_hJob, kExitCode);
    } else if (m_hProcess != nullptr) {
        TerminateProcess(m_hProcess, kExitCode);
    }
}

void CWindowsProcessRunner::Close() {
    CloseAndClear(&m_hWrite);
    CloseAndClear(&m_hRead);
    // Closing the job ends nothing: a command that closed its output may go on.
    CloseAndClear(&m_hJob);
    CloseAndClear(&m_hProcess);
}

std::unique_ptr<IProcessRunner> MakeWindowsProcessRunner() {
    return std::make_unique<CWindowsProcessRunner>();
}

}  // namespace platform
