// What every system's process runner promises, run against this system's runner through the
// same cases: one pipe for output and errors, reads bounded by the caller's buffer, an end
// of output, and Close at any step. Only the interpreter's command texts differ.
#include "platform/process_runner.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "sysinfo/command_capture.h"

#ifdef _WIN32
#include "platform/windows/process_runner_win32.h"
#else
#include "platform/linux/process_runner.h"
#endif

namespace {

#ifdef _WIN32
std::unique_ptr<platform::IProcessRunner> MakeRunner() {
    return platform::MakeWindowsProcessRunner();
}
constexpr const char* kNewline = "\r\n";
constexpr const char* kOutErrOut = "echo one& echo two>&2& echo three";

std::string CountTo(int n) {
    return "for /L %i in (1,1," + std::to_string(n) + ") do @echo line %i";
}
#else
std::unique_ptr<platform::IProcessRunner> MakeRunner() {
    return std::make_unique<platform::CLinuxProcessRunner>();
}
constexpr const char* kNewline = "\n";
constexpr const char* kOutErrOut = "echo one; echo two >&2; echo three";

std::string CountTo(int n) {
    return "i=1; while [ $i -le " + std::to_string(n) + " ]; do echo line $i; i=$((i+1)); done";
}
#endif

// One piece now, then one a second for a minute, from a program the interpreter started.
std::string SlowCommand() {
    std::string path = QUORRIX_SLOW_OUTPUT_PATH;
#ifdef _WIN32
    // The build's path as Wine shows it to the interpreter.
    if (path.starts_with('/')) path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path + " 60 1000";
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + kNewline;
    return text;
}

std::string ReadAll(platform::IProcessRunner& runner) {
    std::string text;
    std::vector<char> buffer(sysinfo::kMaxReadBytes);
    while (const auto n = runner.Read(buffer)) text.append(buffer.data(), *n);
    return text;
}

std::string Capture(const std::string& command) {
    const auto runner = MakeRunner();
    std::string err;
    EXPECT_TRUE(runner->OpenPipe(&err)) << err;
    EXPECT_TRUE(runner->Start(command, &err)) << err;
    std::string text = ReadAll(*runner);
    runner->Close();
    return text;
}

// Passes every call on and keeps the size of each piece read.
class CPieceRecorder final : public platform::IProcessRunner {
public:
    explicit CPieceRecorder(platform::IProcessRunner& inner) : m_inner(inner) {}
    bool OpenPipe(std::string* err) override { return m_inner.OpenPipe(err); }
    bool Start(const std::string& commandLine, std::string* err) override {
        return m_inner.Start(commandLine, err);
    }
    std::optional<std::size_t> Read(std::span<char> buffer) override {
        const auto n = m_inner.Read(buffer);
        if (n) pieces.push_back(*n);
        return n;
    }
    void Terminate() override { m_inner.Terminate(); }
    void Close() override { m_inner.Close(); }

    std::vector<std::size_t> pieces;

private:
    platform::IProcessRunner& m_inner;
};

TEST(ProcessRunnerContract, OutputAndErrorShareOnePipeInOrder) {
    EXPECT_EQ(Capture(kOutErrOut), Lines({"one", "two", "three"}));
    // A command that does not exist is no failure of the start: the interpreter says so on
    // the same pipe.
    EXPECT_NE(Capture("quorrix-no-such-command").find("quorrix-no-such-command"),
              std::string::npos);
}

TEST(ProcessRunnerContract, LongOutputArrivesWholeThroughTheCaptureLoop) {
    const int kLines = 1000;
    std::vector<std::string> lines;
    for (int i = 1; i <= kLines; ++i) lines.push_back("line " + std::to_string(i));
    const std::string expected = Lines(lines);
    ASSERT_GT(expected.size(), 2 * sysinfo::kMaxReadBytes);

    const auto runner = MakeRunner();
    CPieceRecorder recorder(*runner);
    std::vector<std::string> shown;
    const sysinfo::CaptureView view{
        [&](const std::string& text) { shown.push_back(text); }, [](std::chrono::milliseconds) {},
        [](std::string_view text, std::string_view) { ADD_FAILURE() << text; }, "quorrix"};
    EXPECT_EQ(sysinfo::RunCommand(recorder, CountTo(kLines), view),
              sysinfo::CaptureResult::kFinished);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), expected);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        EXPECT_TRUE(shown[i].starts_with(shown[i - 1])) << i;
    }
    ASSERT_EQ(recorder.pieces.size(), shown.size());
    for (const std::size_t n : recorder.pieces) {
        EXPECT_GE(n, 1u);
        EXPECT_LE(n, sysinfo::kMaxReadBytes);
    }
}

TEST(ProcessRunnerContract, CloseIsSafeAtEveryStepAndTwice) {
    const auto runner = MakeRunner();
    std::array<char, 8> buffer{};
    runner->Close();
    runner->Close();
    EXPECT_FALSE(runner->Read(buffer));

    std::string err;
    // Start without a pipe is refused and says why.
    EXPECT_FALSE(runner->Start("echo never", &err));
    EXPECT_FALSE(err.empty());

    ASSERT_TRUE(runner->OpenPipe(&err)) << err;
    runner->Close();
    runner->Close();
    EXPECT_FALSE(runner->Start("echo never", &err));
    EXPECT_FALSE(runner->Read(buffer));

    // Closed in the middle of the output: nothing more is read, and the runner is reusable.
    ASSERT_TRUE(runner->OpenPipe(&err)) << err;
    ASSERT_TRUE(runner->Start(CountTo(3000), &err)) << err;
    EXPECT_TRUE(runner->Read(buffer));
    runner->Close();
    EXPECT_FALSE(runner->Read(buffer));
    runner->Close();

    ASSERT_TRUE(runner->OpenPipe(&err)) << err;
    ASSERT_TRUE(runner->Start("echo again", &err)) << err;
    EXPECT_EQ(ReadAll(*runner), Lines({"again"}));
    runner->Close();
    runner->Close();
}

TEST(ProcessRunnerContract, TerminateEndsAWaitingReadAndTheCommand) {
    const auto runner = MakeRunner();
    std::string err;
    std::array<char, 64> buffer{};
    // Before anything runs, and after Close, Terminate does nothing.
    runner->Terminate();
    ASSERT_TRUE(runner->OpenPipe(&err)) << err;
    runner->Terminate();
    ASSERT_TRUE(runner->Start(SlowCommand(), &err)) << err;
    const auto first = runner->Read(buffer);
    ASSERT_TRUE(first);
    EXPECT_EQ(std::string(buffer.data(), *first), "piece 1\r\n");

    // A Read waits on this thread while another one terminates the command.
    const auto started = std::chrono::steady_clock::now();
    std::thread terminator([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        runner->Terminate();
    });
    std::string rest;
    while (const auto n = runner->Read(buffer)) rest.append(buffer.data(), *n);
    terminator.join();
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_LT(waited, std::chrono::seconds(10)) << "the minute's wait was cut short";
    EXPECT_EQ(rest.find("piece 60"), std::string::npos);
    runner->Terminate();
    runner->Close();
    runner->Terminate();

    // The runner is as good as new.
    ASSERT_TRUE(runner->OpenPipe(&err)) << err;
    ASSERT_TRUE(runner->Start("echo again", &err)) << err;
    EXPECT_EQ(ReadAll(*runner), Lines({"again"}));
    runner->Close();
}

}  // namespace
