#include "sysinfo/summary_gather.h"

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/file_io.h"
#include "platform/host_facts.h"

namespace sysinfo {
namespace {

// Every file read here is a few kilobytes; /proc/cpuinfo of a large machine is the largest.
constexpr std::size_t kMaxFileBytes = 4u << 20;

std::optional<std::string> ReadText(const std::string& path) {
    const auto bytes = platform::ReadFileBytes(path, kMaxFileBytes);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

// A one-line sysfs or /etc value without its line end and surrounding blanks; nullopt when
// missing or blank.
std::optional<std::string> ReadValue(const std::string& path) {
    auto value = ReadText(path);
    if (!value) return std::nullopt;
    const auto first = value->find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::nullopt;
    const auto last = value->find_last_not_of(" \t\r\n");
    return value->substr(first, last - first + 1);
}

std::string ZoneName(const std::string& root) {
    if (const char* tz = std::getenv("TZ"); tz && *tz) return tz[0] == ':' ? tz + 1 : tz;
    if (auto zone = ReadValue(root + "/etc/timezone")) return *zone;
    std::error_code ec;
    const std::string target = std::filesystem::read_symlink(root + "/etc/localtime", ec).string();
    const std::string marker = "zoneinfo/";
    if (const auto pos = target.find(marker); !ec && pos != std::string::npos) {
        return target.substr(pos + marker.size());
    }
    return {};
}

}  // namespace

SummaryFacts GatherSummaryFacts(const std::string& root) {
    SummaryFacts facts;
    if (const auto kernel = platform::ReadKernelIdentity()) {
        facts.hostName = kernel->strNodeName;
        facts.kernelVersion =
            kernel->strSystem + " " + kernel->strRelease + " " + kernel->strVersion;
        facts.systemType = SystemTypeText(kernel->strMachine);
    }

    auto osRelease = ReadText(root + "/etc/os-release");
    if (!osRelease) osRelease = ReadText(root + "/usr/lib/os-release");
    if (osRelease) {
        facts.osName = OsReleaseValue(*osRelease, "PRETTY_NAME");
        if (!facts.osName) facts.osName = OsReleaseValue(*osRelease, "NAME");
        facts.osVersion = OsReleaseValue(*osRelease, "VERSION");
        if (!facts.osVersion) facts.osVersion = OsReleaseValue(*osRelease, "VERSION_ID");
    }

    if (const auto stat = ReadText(root + "/proc/stat")) {
        if (const auto boot = BootTimeSeconds(*stat)) {
            facts.bootTime = LocalTimeText(static_cast<std::time_t>(*boot));
        }
    }

    const std::string dmi = root + "/sys/class/dmi/id/";
    facts.manufacturer = ReadValue(dmi + "sys_vendor");
    facts.model = ReadValue(dmi + "product_name");
    facts.biosVersion =
        BiosVersionText(ReadValue(dmi + "bios_vendor"), ReadValue(dmi + "bios_version"),
                        ReadValue(dmi + "bios_date"));

    if (const auto cpuinfo = ReadText(root + "/proc/cpuinfo"))
        facts.processors = ProcessorLines(*cpuinfo);

    // The system's locale is what the distribution configured for every user; the program's
    // own environment is the fallback.
    for (const char* file : {"/etc/default/locale", "/etc/locale.conf"}) {
        if (const auto text = ReadText(root + file)) {
            if ((facts.locale = LocaleAssignment(*text))) break;
        }
    }
    if (!facts.locale) {
        if (const char* name = std::setlocale(LC_CTYPE, "")) facts.locale = name;
    }

    facts.timeZone = TimeZoneText(std::time(nullptr), ZoneName(root));

    if (const auto meminfo = ReadText(root + "/proc/meminfo")) {
        facts.memTotalKb = MeminfoKb(*meminfo, "MemTotal");
        facts.memAvailableKb = MeminfoKb(*meminfo, "MemAvailable");
        facts.swapTotalKb = MeminfoKb(*meminfo, "SwapTotal");
        facts.swapFreeKb = MeminfoKb(*meminfo, "SwapFree");
    }

    if (auto interfaces = platform::ReadNetworkInterfaces()) {
        std::vector<AdapterFacts> adapters;
        for (auto& i : *interfaces)
            adapters.push_back({std::move(i.strName), std::move(i.addresses)});
        facts.adapters = std::move(adapters);
    }
    return facts;
}

}  // namespace sysinfo
