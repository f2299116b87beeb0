// The judgement of one run of quorrix-probe through pkexec: its data, or why there is none.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/linux/pkexec_run.h"
#include "probe/probe_stream.h"

namespace platform {

// From the user's prompt to the probe's last byte: time to type a password, and five drive
// commands of up to 20 s each.
inline constexpr std::chrono::seconds kProbeTimeLimit{150};

// The probe's data, or nullopt with `*why` saying in one line what went wrong: pkexec's
// own statuses (126 dismissed, 127 not authorized or no agent), the probe's, a signal, the
// time limit, the size cap, or a stream the reader refuses.
std::optional<probe::ProbeData> JudgeProbeRun(const PkexecRun& run, std::string* why);

}  // namespace platform
