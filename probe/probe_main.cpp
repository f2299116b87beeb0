// quorrix-probe: the only part of Quorrix that runs as root. The window runs it through
// pkexec; it reads the firmware's SMBIOS entry point and table and sends drive 0 the SMART
// reader's read-only commands, and writes what came back, undecoded, as a probe stream on its
// standard output. It takes no arguments and uses nothing of its caller's environment.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform/linux/linux_drive_system.h"
#include "probe/probe_read.h"
#include "probe/probe_stream.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr const char* kDmiTablesDir = "/sys/firmware/dmi/tables";

bool WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** /*argv*/) {
    if (argc != 1) {
        std::fputs("quorrix-probe: takes no arguments; the Quorrix window runs it\n", stderr);
        return kExitUsage;
    }
    // The stream is bytes for the window's pipe; on a terminal they would drive it.
    if (::isatty(STDOUT_FILENO) == 1) {
        std::fputs("quorrix-probe: writes its stream for the Quorrix window, not to a terminal\n",
                   stderr);
        return kExitUsage;
    }
    // pkexec hands over a clean environment already; nothing below looks at one anyway.
    ::clearenv();
    ::umask(077);
    // A reader that went away ends the write with EPIPE, not this process with a signal.
    std::signal(SIGPIPE, SIG_IGN);

    platform::CLinuxDriveSystem drives("/sys", "/dev");
    const probe::ProbeData data = probe::ReadProbeData(kDmiTablesDir, drives);
    const auto stream = probe::WriteProbeStream(data);
    if (!stream) {
        std::fputs("quorrix-probe: what was read does not fit a probe stream\n", stderr);
        return kExitFailed;
    }
    return WriteAll(STDOUT_FILENO, *stream) ? 0 : kExitFailed;
}
