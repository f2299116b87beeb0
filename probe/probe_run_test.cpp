// The window's side of the probe: running a stand-in for pkexec and judging how it ended.
#include <sys/stat.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "platform/linux/pkexec_run.h"
#include "probe/probe_run.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::CPkexecProcess;
using platform::JudgeProbeRun;
using platform::PkexecRun;

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

PkexecRun RunProbe(const std::string& pkexec, const std::string& probe,
                   std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    CPkexecProcess process;
    std::string err;
    EXPECT_TRUE(process.Start(pkexec, probe, &err)) << err;
    return process.Finish(limit, probe::kMaxProbeStreamBytes);
}

TEST(ProbeClient, TakesTheStreamThePkexecRunWrites) {
    testsupport::CTempDir dir;
    const auto stream = dir.Write("stream", GoodStream());
    const PkexecRun run = RunProbe(Script(dir, "exec cat \"$1\""), stream.string());
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
    PkexecRun run = RunProbe(Script(dir, "exit 126"), "/nowhere");
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
    run = RunProbe(Script(dir, "printf 'QRXPROBE\\002\\000\\011\\000'"), "/nowhere");
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
    PkexecRun run = RunProbe(Script(dir, "exec cat /dev/zero"), "/nowhere");
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

TEST(ProbeClient, TheWaitAfterTheOutputEndsIsBounded) {
    testsupport::CTempDir dir;
    const auto started = std::chrono::steady_clock::now();
    // The output closes at once, but the process goes on.
    const PkexecRun run = RunProbe(Script(dir, "exec >&-; exec sleep 30"), "/nowhere",
                                   std::chrono::milliseconds(200));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_TRUE(run.bTimedOut);
    std::string why;
    EXPECT_FALSE(JudgeProbeRun(run, &why));
}

}  // namespace
