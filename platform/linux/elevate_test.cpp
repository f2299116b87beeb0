// The window's side of the probe: running a stand-in for pkexec and judging how it ended.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/linux/probe_client.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::CProbeProcess;
using platform::JudgeProbeRun;
using platform::ProbeRun;

std::vector<std::uint8_t> GoodStream() {
    probe::ProbeData data;
    data.smbiosTable = std::vector<std::uint8_t>{1, 2, 3};
    return *probe::WriteProbeStream(data);
}

// A stand-in for pkexec: a shell script that gets the probe's path as its one argument.
std::string Script(const testsupport::CTempDir& dir, const std::string& body) {
    const auto path = dir.Write("pkexec", "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path.string();
}

ProbeRun RunProbe(const std::string& pkexec, const std::string& probe,
                  std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    CProbeProcess process;
    std::string err;
    EXPECT_TRUE(process.Start(pkexec, probe, &err)) << err;
    return process.Finish(limit);
}

TEST(ProbeClient, TakesTheStreamThePkexecRunWrites) {
    testsupport::CTempDir dir;
    const auto stream = dir.Write("stream", GoodStream());
    const ProbeRun run = RunProbe(Script(dir, "exec cat \"$1\""), stream.string());
    EXPECT_TRUE(run.bExited);
    EXPECT_EQ(run.nExitStatus, 0);
    EXPECT_EQ(run.output, GoodStream());
    std::string why;
    const auto data = JudgeProbeRun(run, &why);
    ASSERT_TRUE(data) << why;
    EXPECT_EQ(data->smbiosTable, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(ProbeClient, EachWayOfFailingHasItsOwnLine) {
    testsupport::CTempDir dir;
    std::string why;
    ProbeRun run = RunProbe(Script(dir, "exit 126"), "/nowhere");
    EXPECT_FALSE(JudgeProbeRun(run, &why));
    EXPECT_EQ(why, "the authentication was dismissed");
    run = RunProbe(Script(dir, "exit 127"), "/nowhere");
    EXPECT_FALSE(JudgeProbeRun(run, &why));
    EXPECT_NE(why.find("not authorized"), std::string::npos);
    run = RunProbe(Script(dir, "exit 1"), "/nowhere");
    EXPECT_FALSE(JudgeProbeRun(run, &why));
    EXPECT_EQ(why, "the probe failed (exit status 1)");
    run = RunProbe(Script(dir, "kill -9 $$"), "/nowhere");
    EXPECT_FALSE(JudgeProbeRun(run, &why));
    EXPECT_EQ(why, "the probe was ended by signal 9");
    // A stream with a good status that the reader refuses is refused whole.
    run = RunProbe(Script(dir, "printf 'QRXPROBE\\001\\000\\011\\000'"), "/nowhere");
    EXPECT_TRUE(run.bExited);
    EXPECT_FALSE(JudgeProbeRun(run, &why));
    EXPECT_NE(why.find("refused: truncated"), std::string::npos) << why;
    // pkexec missing: exec's own error, not the 127 a shell would give.
    run = RunProbe((dir.Path() / "no-pkexec").string(), "/nowhere");
    EXPECT_EQ(run.nExecErrno, ENOENT);
    EXPECT_FALSE(JudgeProbeRun(run, &why));
    EXPECT_NE(why.find("No such file"), std::string::npos) << why;
}

TEST(ProbeClient, SizeCapAndTimeLimitEndTheRead) {
    testsupport::CTempDir dir;
    std::string why;
    // An endless writer: the read stops one byte past the cap and the writer is killed.
    ProbeRun run = RunProbe(Script(dir, "exec cat /dev/zero"), "/nowhere");
    EXPECT_TRUE(run.bOversized);
    EXPECT_EQ(run.output.size(), probe::kMaxProbeStreamBytes + 1);
    EXPECT_FALSE(JudgeProbeRun(run, &why));
    EXPECT_NE(why.find("more than 262144 bytes"), std::string::npos) << why;
    // A run that never answers.
    run = RunProbe(Script(dir, "exec sleep 60"), "/nowhere", std::chrono::milliseconds(100));
    EXPECT_TRUE(run.bTimedOut);
    EXPECT_FALSE(JudgeProbeRun(run, &why));
    EXPECT_NE(why.find("no answer within"), std::string::npos) << why;
}

TEST(ProbeClient, ClosedStandardDescriptorsStillGiveThePipe) {
    testsupport::CTempDir dir;
    const std::string pkexec = Script(dir, "printf probe-says-hello");
    const pid_t child = ::fork();
    if (child == 0) {
        // With all three closed, the pipe's ends would be descriptors 0 and 1 themselves.
        ::close(STDIN_FILENO);
        ::close(STDOUT_FILENO);
        ::close(STDERR_FILENO);
        CProbeProcess process;
        std::string err;
        if (!process.Start(pkexec, "/nowhere", &err)) ::_exit(3);
        const ProbeRun run = process.Finish(std::chrono::seconds(30));
        const std::string said(run.output.begin(), run.output.end());
        ::_exit(run.bExited && run.nExitStatus == 0 && said == "probe-says-hello" ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ProbeClient, TheWaitAfterTheOutputEndsIsBounded) {
    testsupport::CTempDir dir;
    const auto started = std::chrono::steady_clock::now();
    // The output closes at once, but the process goes on.
    const ProbeRun run = RunProbe(Script(dir, "exec >&-; exec sleep 30"), "/nowhere",
                                  std::chrono::milliseconds(200));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_TRUE(run.bTimedOut);
    std::string why;
    EXPECT_FALSE(JudgeProbeRun(run, &why));
}

TEST(ProbeClient, OnlyAProbeThatIsRootsAloneRuns) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make root's files";
    testsupport::CTempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    const auto probe = dir.Write("bin/quorrix-probe", "#!/bin/sh\n");
    const std::filesystem::path folder = probe.parent_path();
    const struct {
        const char* name;
        std::filesystem::path path;
        mode_t mode;
        uid_t owner;
        const char* why;  // empty: the probe may run
    } cases[] = {
        {"root's", probe, 0755, 0, ""},
        {"writable-by-all", probe, 0757, 0, "writable by every user"},
        {"a-user's", probe, 0755, 54321, "does not belong to root"},
        {"folder-writable-by-all", folder, 0777, 0, "writable by every user"},
        {"folder-of-a-user", folder, 0755, 54321, "does not belong to root"},
    };
    for (const auto& c : cases) {
        ::chmod(probe.c_str(), 0755);
        ::chmod(folder.c_str(), 0755);
        ASSERT_EQ(::chown(probe.c_str(), 0, 0), 0);
        ASSERT_EQ(::chown(folder.c_str(), 0, 0), 0);
        ASSERT_EQ(::chown(c.path.c_str(), c.owner, 0), 0);
        ASSERT_EQ(::chmod(c.path.c_str(), c.mode), 0);
        std::string why;
        EXPECT_EQ(platform::IsRootsAlone(probe.string(), &why), *c.why == '\0') << c.name;
        EXPECT_NE(why.find(c.why), std::string::npos) << c.name << ": " << why;
    }
    const auto link = dir.Path() / "link";
    std::filesystem::create_symlink(probe, link);
    std::string why;
    EXPECT_FALSE(platform::IsRootsAlone(link.string(), &why));
    EXPECT_NE(why.find("symbolic link"), std::string::npos) << why;
}

}  // namespace
