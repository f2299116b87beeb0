#include "platform/elevate.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

using Env = std::map<std::string, std::string>;

platform::EnvLookup Lookup(const Env& vars) {
    return [vars](std::string_view name) -> std::optional<std::string> {
        auto it = vars.find(std::string(name));
        if (it == vars.end()) return std::nullopt;
        return it->second;
    };
}

using Argv = std::vector<std::string>;
using platform::PkexecCommand;

TEST(PkexecCommand, KeepsWhatTheWindowNeedsOnEachDisplay) {
    const std::string pk = "/usr/bin/pkexec";
    const std::string self = "/usr/bin/quorrix";

    // X11 with a cookie file: pkexec runs the program itself, so its polkit action (with
    // allow_gui) applies and keeps DISPLAY and XAUTHORITY; nothing of the user's runtime
    // folder goes along.
    const Env x11{{"DISPLAY", ":0"},
                  {"XAUTHORITY", "/run/user/1000/gdm/Xauthority"},
                  {"XDG_RUNTIME_DIR", "/run/user/1000"}};
    EXPECT_EQ(PkexecCommand(pk, self, true, Lookup(x11)), (Argv{pk, self}));
    // Without the action (a build tree, a /usr/local install) pkexec's generic action would
    // drop the display, so the variables are passed explicitly.
    EXPECT_EQ(
        PkexecCommand(pk, self, false, Lookup(x11)),
        (Argv{pk, "/usr/bin/env", "DISPLAY=:0", "XAUTHORITY=/run/user/1000/gdm/Xauthority", self}));

    // X11 without XAUTHORITY: root would look for /root/.Xauthority, so the user's default
    // file is named explicitly.
    EXPECT_EQ(PkexecCommand(pk, self, true, Lookup({{"DISPLAY", ":1"}, {"HOME", "/home/ann"}})),
              (Argv{pk, "/usr/bin/env", "DISPLAY=:1", "XAUTHORITY=/home/ann/.Xauthority", self}));

    // Wayland with Xwayland beside it: both sockets' variables travel, the runtime folder too.
    EXPECT_EQ(PkexecCommand(pk, self, true,
                            Lookup({{"WAYLAND_DISPLAY", "wayland-0"},
                                    {"XDG_RUNTIME_DIR", "/run/user/1000"},
                                    {"DISPLAY", ":0"},
                                    {"XAUTHORITY", "/run/user/1000/.mutter-Xwaylandauth.AB12"},
                                    {"HOME", "/home/ann"}})),
              (Argv{pk, "/usr/bin/env", "DISPLAY=:0",
                    "XAUTHORITY=/run/user/1000/.mutter-Xwaylandauth.AB12",
                    "WAYLAND_DISPLAY=wayland-0", "XDG_RUNTIME_DIR=/run/user/1000", self}));

    // A chosen Qt platform is kept; "wayland" chosen without WAYLAND_DISPLAY still needs the
    // runtime folder, where the default socket lives. Values stay single arguments.
    EXPECT_EQ(PkexecCommand(pk, self, true,
                            Lookup({{"QT_QPA_PLATFORM", "wayland;xcb"},
                                    {"XDG_RUNTIME_DIR", "/run/user/1000 x"}})),
              (Argv{pk, "/usr/bin/env", "XDG_RUNTIME_DIR=/run/user/1000 x",
                    "QT_QPA_PLATFORM=wayland;xcb", self}));
    EXPECT_EQ(PkexecCommand(pk, self, true, Lookup({{"QT_QPA_PLATFORM", "offscreen"}})),
              (Argv{pk, "/usr/bin/env", "QT_QPA_PLATFORM=offscreen", self}));

    // Empty variables count as unset.
    EXPECT_EQ(
        PkexecCommand(pk, self, true, Lookup({{"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}})),
        (Argv{pk, self}));
}

TEST(FindOnPath, TakesTheFirstExecutableInAbsoluteFolders) {
    testsupport::CTempDir dir;
    const auto notExec = dir.Write("a/pkexec", "#!/bin/sh\n");
    const auto exec = dir.Write("b/pkexec", "#!/bin/sh\n");
    ::chmod(exec.c_str(), 0755);
    std::filesystem::create_directories(dir.Path() / "c/pkexec");  // a folder, not a program
    const std::string a = (dir.Path() / "a").string();
    const std::string b = (dir.Path() / "b").string();
    const std::string c = (dir.Path() / "c").string();

    EXPECT_EQ(platform::FindOnPath("pkexec", Lookup({{"PATH", c + ":" + a + ":" + b}})),
              exec.string());
    EXPECT_EQ(platform::FindOnPath("pkexec", Lookup({{"PATH", a + "::" + c}})), std::nullopt);
    // Relative entries are never searched.
    EXPECT_EQ(platform::FindOnPath("pkexec", Lookup({{"PATH", "b"}})), std::nullopt);
}

// A stand-in for pkexec: writes its arguments, one per line, then exits as told.
std::filesystem::path FakePkexec(const testsupport::CTempDir& dir, const std::string& tail) {
    const auto path =
        dir.Write("bin/pkexec", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" +
                                    (dir.Path() / "args").string() + "\"\n" + tail + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(RunAsRoot, RunsThroughPkexecAndPassesOnItsExitStatus) {
    testsupport::CTempDir dir;
    FakePkexec(dir, "exit 0");
    const Env env{
        {"PATH", (dir.Path() / "bin").string()}, {"DISPLAY", ":5"}, {"XAUTHORITY", "/tmp/cookie"}};
    const auto policy =
        dir.Write("org.quorrix.quorrix.policy",
                  "<action>\n  <annotate key=\"org.freedesktop.policykit.exec.path\">/opt/q/quorrix"
                  "</annotate>\n</action>\n");
    std::string why = "stale";

    // Root already: nothing runs.
    EXPECT_EQ(platform::RunAsRoot("/opt/q/quorrix", true, Lookup(env), policy.string(), &why),
              std::nullopt);
    EXPECT_EQ(why, "");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "args"));

    // The action names this program: pkexec runs it directly.
    EXPECT_EQ(platform::RunAsRoot("/opt/q/quorrix", false, Lookup(env), policy.string(), &why), 0);
    EXPECT_EQ(ReadAll(dir.Path() / "args"), "/opt/q/quorrix\n");
    // An action for another path does not cover this copy.
    EXPECT_EQ(platform::RunAsRoot("/opt/q2/quorrix", false, Lookup(env), policy.string(), &why), 0);
    EXPECT_EQ(ReadAll(dir.Path() / "args"),
              "/usr/bin/env\nDISPLAY=:5\nXAUTHORITY=/tmp/cookie\n/opt/q2/quorrix\n");

    // The root run's own status comes back, and a signal as 128 + its number.
    FakePkexec(dir, "exit 3");
    EXPECT_EQ(platform::RunAsRoot("/opt/q/quorrix", false, Lookup(env), policy.string(), &why), 3);
    FakePkexec(dir, "kill -TERM $$");
    EXPECT_EQ(platform::RunAsRoot("/opt/q/quorrix", false, Lookup(env), policy.string(), &why),
              128 + 15);
}

TEST(RunAsRoot, GoesOnWithoutRootAndSaysWhy) {
    testsupport::CTempDir dir;
    const Env env{{"PATH", (dir.Path() / "bin").string()}};
    std::string why;

    EXPECT_EQ(platform::RunAsRoot("/usr/bin/quorrix", false, Lookup(env), "/nonexistent", &why),
              std::nullopt);
    EXPECT_NE(why.find("pkexec was not found"), std::string::npos) << why;

    FakePkexec(dir, "exit 126");
    EXPECT_EQ(platform::RunAsRoot("/usr/bin/quorrix", false, Lookup(env), "/nonexistent", &why),
              std::nullopt);
    EXPECT_NE(why.find("dismissed"), std::string::npos) << why;

    FakePkexec(dir, "exit 127");
    EXPECT_EQ(platform::RunAsRoot("/usr/bin/quorrix", false, Lookup(env), "/nonexistent", &why),
              std::nullopt);
    EXPECT_NE(why.find("not authorized"), std::string::npos) << why;
    // One line, naming what the user gets instead.
    EXPECT_EQ(why.find('\n'), std::string::npos);
    EXPECT_NE(why.find("ordinary user"), std::string::npos);

    // A pkexec that cannot be started (no interpreter) is reported, not mistaken for a run.
    const auto broken = dir.Write("bin/pkexec", "#!/nonexistent/interpreter\n");
    ::chmod(broken.c_str(), 0755);
    EXPECT_EQ(platform::RunAsRoot("/usr/bin/quorrix", false, Lookup(env), "/nonexistent", &why),
              std::nullopt);
    EXPECT_NE(why.find(broken.string()), std::string::npos) << why;

    // Started by pkexec yet not root: never ask again.
    std::filesystem::remove(dir.Path() / "args");
    FakePkexec(dir, "exit 0");
    Env fromPkexec = env;
    fromPkexec["PKEXEC_UID"] = "1000";
    EXPECT_EQ(
        platform::RunAsRoot("/usr/bin/quorrix", false, Lookup(fromPkexec), "/nonexistent", &why),
        std::nullopt);
    EXPECT_NE(why.find("started by pkexec"), std::string::npos) << why;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "args"));
}

}  // namespace
