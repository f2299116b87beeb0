#include "probe/privileged_read.h"

#include <cstdio>
#include <filesystem>

#include "platform/linux/pkexec_run.h"
#include "platform/system_sources.h"
#include "probe/probe_run.h"
#include "probe/probe_sources.h"

// Where the probe lies relative to the window's folder (bin/ -> libexec/quorrix/), from the
// install layout CMake was configured with.
#ifndef QUORRIX_PROBE_FROM_BINDIR
#define QUORRIX_PROBE_FROM_BINDIR "../libexec/quorrix/quorrix-probe"
#endif

namespace platform {
namespace {

constexpr const char* kWithoutRoot =
    "; the SMBIOS and disk pages show only what an ordinary user can read";

// Root's own window: the system's sources, read directly.
class CDirectRead final : public IPrivilegedRead {
public:
    explicit CDirectRead(std::string why = "") : m_strWhy(std::move(why)) {}
    PrivilegedSources Finish() override {
        return {MakeSystemSmbiosSource(), MakeSystemDriveSystem(), m_strWhy};
    }

private:
    std::string m_strWhy;
};

class CProbeRead final : public IPrivilegedRead {
public:
    CProbeRead() = default;
    bool Start(const std::string& probePath, std::string* err) {
        return m_process.Start(kPkexecPath, probePath, err);
    }
    PrivilegedSources Finish() override {
        const PkexecRun run =
            m_process.Finish(std::chrono::duration_cast<std::chrono::milliseconds>(kProbeTimeLimit),
                             probe::kMaxProbeStreamBytes);
        std::string why;
        const auto data = JudgeProbeRun(run, &why);
        if (!data) return CDirectRead(why + kWithoutRoot).Finish();
        return {probe::SmbiosSourceOf(*data), probe::DriveSystemOf(*data), ""};
    }

private:
    CPkexecProcess m_process;
};

std::optional<std::string> ProbePath() {
    const auto self = RunningExecutablePath();
    if (!self) return std::nullopt;
    const std::filesystem::path path =
        (std::filesystem::path(*self).parent_path() / QUORRIX_PROBE_FROM_BINDIR).lexically_normal();
    return path.string();
}

// The probe built beside the window in a build tree: app/quorrix and probe/quorrix-probe.
std::optional<std::string> BuildProbePath() {
    const auto self = RunningExecutablePath();
    if (!self) return std::nullopt;
    return (std::filesystem::path(*self).parent_path() / "../probe/quorrix-probe")
        .lexically_normal()
        .string();
}

}  // namespace

std::unique_ptr<IPrivilegedRead> StartPrivilegedRead(bool bBuildProbe) {
    if (RunsAsRoot()) return std::make_unique<CDirectRead>();
    const auto probePath = bBuildProbe ? BuildProbePath() : ProbePath();
    if (!probePath) {
        return std::make_unique<CDirectRead>(std::string("the window's own path is unknown, so "
                                                         "is the probe's") +
                                             kWithoutRoot);
    }
    if (!IsExecutableFile(kPkexecPath))
        return std::make_unique<CDirectRead>(std::string("pkexec was not found (") + kPkexecPath +
                                             ")" + kWithoutRoot);
    if (!IsExecutableFile(*probePath))
        return std::make_unique<CDirectRead>("the probe " + *probePath + " is not installed" +
                                             kWithoutRoot);
    // What runs as root after an administrator's password must be root's alone: a probe that
    // its user could replace would run the user's code as root.
    std::string notRoots;
    if (bBuildProbe) {
        std::fprintf(stderr, "quorrix: --build-probe: running the build's probe %s as root\n",
                     probePath->c_str());
    } else if (!IsRootsAlone(*probePath, &notRoots)) {
        return std::make_unique<CDirectRead>("the probe is not run: " + notRoots + kWithoutRoot);
    }
    auto read = std::make_unique<CProbeRead>();
    std::string err;
    if (!read->Start(*probePath, &err))
        return std::make_unique<CDirectRead>("the probe could not be started: " + err +
                                             kWithoutRoot);
    return read;
}

}  // namespace platform
