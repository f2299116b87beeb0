#include "platform/linux/process_runner.h"
#include "platform/system_sources.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

// Everything the command writes, read in pieces of at most `pieceSize` bytes.
struct Capture {
    std::string strText;
    std::vector<std::size_t> pieces;
};

Capture ReadAll(platform::IProcessRunner& runner, std::size_t pieceSize = 4095) {
    Capture capture;
    std::vector<char> buffer(pieceSize);
    while (auto n = runner.Read(buffer)) {
        capture.pieces.push_back(*n);
        capture.strText.append(buffer.data(), *n);
    }
    return capture;
}

Capture RunShell(const std::string& command, std::size_t pieceSize = 4095) {
    platform::CLinuxProcessRunner runner;
    std::string err;
    EXPECT_TRUE(runner.OpenPipe(&err)) << err;
    EXPECT_TRUE(runner.Start(command, &err)) << err;
    Capture capture = ReadAll(runner, pieceSize);
    runner.Close();
    return capture;
}

TEST(LinuxProcessRunner, OutputAndErrorShareOnePipeInOrder) {
    EXPECT_EQ(RunShell("printf 'one\\r\\n'; printf 'two\\n' >&2; printf three").strText,
              "one\r\ntwo\nthree");
    // Bytes pass unchanged, GBK included.
    EXPECT_EQ(RunShell("printf '\\262\\342\\312\\324'").strText, "\xB2\xE2\xCA\xD4");
    // A command that does not exist is no failure of the start: the shell says so on the pipe.
    const Capture missing = RunShell("no-such-command-quorrix");
    EXPECT_NE(missing.strText.find("no-such-command-quorrix"), std::string::npos);
    EXPECT_NE(missing.strText.find("not found"), std::string::npos);
}

TEST(LinuxProcessRunner, NoInputNoTerminalOwnSession) {
    // Standard input is /dev/null: cat ends at once instead of waiting for a terminal.
    EXPECT_EQ(RunShell("cat; echo end").strText, "end\n");
    // The shell runs in another session than ours.
    const Capture sid = RunShell("cut -d' ' -f6 /proc/$$/stat");
    ASSERT_FALSE(sid.strText.empty());
    EXPECT_NE(std::atol(sid.strText.c_str()), static_cast<long>(::getsid(0)));
    EXPECT_EQ(RunShell("tty >/dev/null 2>&1 || echo none").strText, "none\n");
}

TEST(LinuxProcessRunner, LongOutputArrivesWholeInBoundedPieces) {
    // More than the pipe holds, so the command waits for the reads.
    const Capture big =
        RunShell("i=0; while [ $i -lt 3000 ]; do printf '%05d内存\\n' $i; i=$((i+1)); done");
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "%05d", i);
        expected += std::string(line) + "内存\n";
    }
    EXPECT_EQ(big.strText, expected);
    for (std::size_t n : big.pieces) {
        EXPECT_GE(n, 1u);
        EXPECT_LE(n, 4095u);
    }
    // A small buffer is honoured too.
    const Capture small = RunShell("printf 0123456789", 4);
    EXPECT_EQ(small.strText, "0123456789");
    for (std::size_t n : small.pieces) EXPECT_LE(n, 4u);
}

TEST(LinuxProcessRunner, OutputEndsWhenDescendantsCloseAndLeavesNoChild) {
    // A background job keeps the pipe open after the shell has ended; its output still comes.
    EXPECT_EQ(RunShell("(sleep 0.3; echo late) & echo early").strText, "early\nlate\n");
    // Nothing is left for us to reap: the shell was not our child.
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST(LinuxProcessRunner, ShellThatCannotRunFailsTheStart) {
    testsupport::CTempDir dir;
    const std::string notExecutable = dir.Write("sh", "#!/bin/sh\necho hi\n").string();
    ::chmod(notExecutable.c_str(), 0644);
    const std::array<std::pair<std::string, std::string>, 2> cases{{
        {(dir.Path() / "missing-sh").string(), "No such file"},
        {notExecutable, "Permission denied"},
    }};
    for (const auto& [shell, why] : cases) {
        platform::CLinuxProcessRunner runner(shell);
        std::string err;
        ASSERT_TRUE(runner.OpenPipe(&err)) << err;
        EXPECT_FALSE(runner.Start("echo hi", &err)) << shell;
        EXPECT_NE(err.find(why), std::string::npos) << err;
        // The pipe is closed: reading reports the end at once.
        std::array<char, 16> buffer{};
        EXPECT_FALSE(runner.Read(buffer));
        runner.Close();
    }
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);

    // Start without a pipe is refused, and the runner can be used again afterwards.
    platform::CLinuxProcessRunner runner;
    std::string err;
    EXPECT_FALSE(runner.Start("echo hi", &err));
    ASSERT_TRUE(runner.OpenPipe(&err));
    ASSERT_TRUE(runner.Start("echo again", &err)) << err;
    EXPECT_EQ(ReadAll(runner).strText, "again\n");
}

// Lowers the descriptor limit to nothing, then asks for the pipe; exits 0 when it was refused.
[[noreturn]] void OpenPipeWithoutDescriptors() {
    platform::CLinuxProcessRunner runner;
    // A call while descriptors are still there: UBSan checks the object's type on the first
    // member call with a pipe of its own, and remembers the answer.
    runner.Close();
    const rlimit none{0, 0};
    ::setrlimit(RLIMIT_NOFILE, &none);
    std::string err;
    const bool opened = runner.OpenPipe(&err);
    std::_Exit(!opened && err.starts_with("pipe") ? 0 : 1);
}

TEST(LinuxProcessRunner, PipeRefusedWithoutDescriptors) {
    // In a child process, so that the lowered limit cannot disturb other tests.
    EXPECT_EXIT(OpenPipeWithoutDescriptors(), ::testing::ExitedWithCode(0), "");
}

TEST(RunningExecutablePath, NamesThisTestProgram) {
    const auto path = platform::RunningExecutablePath();
    ASSERT_TRUE(path);
    EXPECT_EQ(path->front(), '/');
    EXPECT_NE(path->find("quorrix_platform_tests"), std::string::npos);
}

TEST(ShellQuote, SurvivesTheShellUnchanged) {
    EXPECT_EQ(platform::ShellQuote("/usr/bin/quorrix-systeminfo"), "'/usr/bin/quorrix-systeminfo'");
    for (const std::string odd : {"/opt/my apps/q", "/tmp/it's $HOME `x` \"y\"\\", "/a;rm -rf b"}) {
        EXPECT_EQ(RunShell("printf %s " + platform::ShellQuote(odd)).strText, odd);
    }
}

}  // namespace
