// Starting a program through a stand-in for pkexec, and which programs are root's alone.
#include "platform/linux/pkexec_run.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

using platform::CPkexecProcess;
using platform::PkexecRun;

// A stand-in for pkexec: a shell script that gets the program's path as its one argument.
std::string Script(const testsupport::CTempDir& dir, const std::string& body) {
    const auto path = dir.Write("pkexec", "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path.string();
}

TEST(PkexecRun, ClosedStandardDescriptorsStillGiveThePipe) {
    testsupport::CTempDir dir;
    const std::string pkexec = Script(dir, "printf program-says-hello");
    const pid_t child = ::fork();
    if (child == 0) {
        // With all three closed, the pipe's ends would be descriptors 0 and 1 themselves.
        ::close(STDIN_FILENO);
        ::close(STDOUT_FILENO);
        ::close(STDERR_FILENO);
        CPkexecProcess process;
        std::string err;
        if (!process.Start(pkexec, "/nowhere", &err)) ::_exit(3);
        const PkexecRun run = process.Finish(std::chrono::seconds(30), 1024);
        const std::string said(run.output.begin(), run.output.end());
        ::_exit(run.bExited && run.nExitStatus == 0 && said == "program-says-hello" ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(PkexecRun, OnlyAProbeThatIsRootsAloneRuns) {
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
