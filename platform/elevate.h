// Starting the window with the rights it needs. The raw SMBIOS tables, SG_IO on a disk and
// NVMe admin commands are root's; a desktop user starts quorrix unprivileged, so it runs
// itself again as root through pkexec and waits for that run. When that cannot happen, it goes
// on as the user and the pages show what an ordinary user can read.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Looks up an environment variable; nullopt when it is not set.
using EnvLookup = std::function<std::optional<std::string>(std::string_view name)>;

// Where polkit finds the action that lets pkexec run the installed window program.
inline constexpr const char* kPolkitActionFile =
    "/usr/share/polkit-1/actions/org.quorrix.quorrix.policy";

// True when the polkit action file at `policyFile` names `self` as its program, so that
// `pkexec self` runs under that action rather than pkexec's generic one.
bool PolkitActionCovers(const std::string& policyFile, const std::string& self);

// The argument vector that runs `self` as root through the pkexec at `pkexec`.
// pkexec clears the environment. When the program's own polkit action applies
// (`bActionCoversSelf`) and only DISPLAY and XAUTHORITY need keeping, it runs `self` directly:
// the action's allow_gui keeps those two and its prompt names Quorrix. Any other case goes
// through /usr/bin/env with the variables spelled out: DISPLAY, XAUTHORITY (defaulting to
// $HOME/.Xauthority, which root would not look for), QT_QPA_PLATFORM, and on Wayland
// WAYLAND_DISPLAY and XDG_RUNTIME_DIR, the folder that holds its socket.
std::vector<std::string> PkexecCommand(const std::string& pkexec, const std::string& self,
                                       bool bActionCoversSelf, const EnvLookup& env);

// The full path of `program` found on the PATH that `env` gives; nullopt when none is
// executable there.
std::optional<std::string> FindOnPath(const std::string& program, const EnvLookup& env);

// Runs the program as root unless `bIsRoot`; `policyFile` is where its polkit action would be.
// Returns the exit status this process should end with when the root run took place (its status, or
// 128 + signal). Returns nullopt when the program is to go on in this process; then `*why` holds
// one line saying why it runs without root (empty when it is root already).
[[nodiscard]] std::optional<int> RunAsRoot(const std::string& self, bool bIsRoot,
                                           const EnvLookup& env, const std::string& policyFile,
                                           std::string* why);

// Called first thing in main(): returns when the program goes on in this process (already
// root, or root could not be had: then one line on stderr says why); otherwise ends the
// process with the root run's exit status.
void ElevateOrContinue();

}  // namespace platform
