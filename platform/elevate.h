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

// The argument vector that runs `self` as root through the pkexec at `pkexec`.
// pkexec clears the environment. With only DISPLAY and XAUTHORITY to keep, it runs `self`
// directly, so the polkit action for `self` applies and its allow_gui keeps those two. Any
// other need (Wayland, QT_QPA_PLATFORM, no XAUTHORITY) goes through /usr/bin/env with the
// variables spelled out: DISPLAY, XAUTHORITY (defaulting to $HOME/.Xauthority, which root
// would not look for), and on Wayland WAYLAND_DISPLAY and XDG_RUNTIME_DIR, the folder that
// holds its socket.
std::vector<std::string> PkexecCommand(const std::string& pkexec, const std::string& self,
                                       const EnvLookup& env);

// The full path of `program` found on the PATH that `env` gives; nullopt when none is
// executable there.
std::optional<std::string> FindOnPath(const std::string& program, const EnvLookup& env);

// Runs the program as root unless `bIsRoot`. Returns the exit status this process should end
// with when the root run took place (its status, or 128 + signal). Returns nullopt when the
// program is to go on in this process; then `*why` holds one line saying why it runs without
// root (empty when it is root already).
[[nodiscard]] std::optional<int> RunAsRoot(const std::string& self, bool bIsRoot,
                                           const EnvLookup& env, std::string* why);

// Called first thing in main(): returns when the program goes on in this process (already
// root, or root could not be had: then one line on stderr says why); otherwise ends the
// process with the root run's exit status.
void ElevateOrContinue();

}  // namespace platform
