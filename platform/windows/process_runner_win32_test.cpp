// What only the Windows runner does: cmd.exe's 200-byte command line, the NUL device as
// input, the system's error texts, and no handle left behind.
#include "platform/windows/process_runner_win32.h"

#include <windows.h>

#include <array>
#include <string>

#include <gtest/gtest.h>

#include "platform/system_sources.h"
#include "sysinfo/command_capture.h"

namespace {

std::string ReadAll(platform::IProcessRunner& runner) {
    std::string text;
    std::array<char, sysinfo::kMaxReadBytes> buffer{};
    while (const auto n = runner.Read(buffer)) text.append(buffer.data(), *n);
    return text;
}

// The handles this process holds: every handle value that the system recognises.
// (GetProcessHandleCount answers 0 under Wine, so the table is probed instead.)
int OpenHandleCount() {
    int count = 0;
    for (ULONG_PTR value = 4; value < (ULONG_PTR{1} << 18); value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

// True when `err` is "context: text (error code)" on one line with the system's text in it.
bool IsSystemErrorLine(const std::string& err, DWORD code) {
    const std::string tail = " (error " + std::to_string(code) + ")";
    const std::size_t colon = err.find(": ");
    return err.find_first_of("\r\n") == std::string::npos && err.ends_with(tail) &&
           colon != std::string::npos && colon + 2 < err.size() - tail.size();
}

TEST(WindowsProcessRunner, CommandLineMustFitTheBuffer) {
    // "cmd /C " (7 bytes) + "echo " (5) + 187 letters = 199 bytes: the longest that fits.
    const std::string fits = "echo " + std::string(187, 'a');
    platform::CWindowsProcessRunner runner;
    std::string err;
    ASSERT_TRUE(runner.OpenPipe(&err)) << err;
    ASSERT_TRUE(runner.Start(fits, &err)) << err;
    EXPECT_EQ(ReadAll(runner), std::string(187, 'a') + "\r\n");
    runner.Close();

    for (const std::size_t letters : {std::size_t{188}, std::size_t{5000}}) {
        SCOPED_TRACE(letters);
        ASSERT_TRUE(runner.OpenPipe(&err)) << err;
        err.clear();
        EXPECT_FALSE(runner.Start("echo " + std::string(letters, 'a'), &err));
        EXPECT_NE(err.find("199"), std::string::npos) << err;
        // The pipe was closed with the refusal.
        std::array<char, 8> buffer{};
        EXPECT_FALSE(runner.Read(buffer));
    }
    ASSERT_TRUE(runner.OpenPipe(&err)) << err;
    ASSERT_TRUE(runner.Start("echo ok", &err)) << err;
    EXPECT_EQ(ReadAll(runner), "ok\r\n");
}

TEST(WindowsProcessRunner, InterpreterThatCannotStartGivesTheSystemsReason) {
    platform::CWindowsProcessRunner runner("C:\\quorrix-no-such-folder\\cmd.exe");
    std::string err;
    ASSERT_TRUE(runner.OpenPipe(&err)) << err;
    EXPECT_FALSE(runner.Start("echo never", &err));
    EXPECT_TRUE(err.starts_with("CreateProcess C:\\quorrix-no-such-folder\\cmd.exe: ")) << err;
    EXPECT_TRUE(IsSystemErrorLine(err, ERROR_PATH_NOT_FOUND)) << err;
    std::array<char, 8> buffer{};
    EXPECT_FALSE(runner.Read(buffer));
}

TEST(WindowsProcessRunner, InputIsTheNulDevice) {
    // Both read their input to the end before going on; from NUL that end comes at once.
    platform::CWindowsProcessRunner runner;
    std::string err;
    ASSERT_TRUE(runner.OpenPipe(&err)) << err;
    ASSERT_TRUE(runner.Start("findstr x& more& echo done", &err)) << err;
    EXPECT_EQ(ReadAll(runner), "done\r\n");
}

TEST(WindowsProcessRunner, NoHandleLeftBehindOverFiftyRuns) {
    const auto runOnce = [](int i) {
        platform::CWindowsProcessRunner runner;
        std::string err;
        if (!runner.OpenPipe(&err)) return;
        // Every third run fails to start, every fifth is closed before its output ends.
        const std::string command = i % 3 == 0 ? "echo " + std::string(300, 'x') : "echo run";
        if (!runner.Start(command, &err)) return;
        std::array<char, 4> buffer{};
        if (i % 5 == 0) {
            (void)runner.Read(buffer);
            runner.Close();
            return;
        }
        while (runner.Read(buffer)) {
        }
    };
    runOnce(1);  // the first run loads what every later one uses
    const int before = OpenHandleCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 50; ++i) runOnce(i);
    EXPECT_LE(OpenHandleCount(), before);
}

TEST(RunningExecutablePath, NamesThisTestProgram) {
    const auto path = platform::RunningExecutablePath();
    ASSERT_TRUE(path);
    EXPECT_EQ(path->substr(1, 2), ":\\");
    EXPECT_TRUE(path->ends_with("quorrix_platform_tests.exe")) << *path;
}

}  // namespace
