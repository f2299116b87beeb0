// The text of quorrix-systeminfo: the machine summary that the other-information page shows,
// in the key order and wording of the platform summary, as GBK lines ending in CR LF.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sysinfo {

struct AdapterFacts {
    std::string strName;
    std::vector<std::string> addresses;
};

// What could be found out; nullopt is a value that could not be had, and its line says so.
// Texts are UTF-8 as the system gives them.
struct SummaryFacts {
    std::optional<std::string> hostName;
    std::optional<std::string> osName;
    std::optional<std::string> osVersion;
    std::optional<std::string> kernelVersion;
    std::optional<std::string> bootTime;
    std::optional<std::string> manufacturer;
    std::optional<std::string> model;
    std::optional<std::string> systemType;
    std::optional<std::vector<std::string>> processors;  // one line per processor package
    std::optional<std::string> biosVersion;
    std::optional<std::string> locale;
    std::optional<std::string> timeZone;
    std::optional<std::uint64_t> memTotalKb;
    std::optional<std::uint64_t> memAvailableKb;
    std::optional<std::uint64_t> swapTotalKb;
    std::optional<std::uint64_t> swapFreeKb;
    std::optional<std::vector<AdapterFacts>> adapters;
};

// Values start in this 0-based column (the 28th); keys and continuation lines are padded to it.
inline constexpr std::size_t kValueColumn = 27;
// What a line says when its value could not be found out.
inline constexpr std::string_view kUnavailable = "不可用";

// The whole summary, GBK, every line ending in CR LF.
std::string FormatSummary(const SummaryFacts& facts);

// Parsers for the system's text files; each returns nullopt when the file lacks the value.

// A value of os-release(5), unquoted ("Debian GNU/Linux 12 (bookworm)").
std::optional<std::string> OsReleaseValue(std::string_view osRelease, std::string_view key);
// A "Key:   1234 kB" line of /proc/meminfo, in kB.
std::optional<std::uint64_t> MeminfoKb(std::string_view meminfo, std::string_view key);
// The boot time ("btime") of /proc/stat, seconds since the epoch.
std::optional<std::int64_t> BootTimeSeconds(std::string_view procStat);
// One line per physical package of /proc/cpuinfo: "<model name> ~<MHz> Mhz".
std::optional<std::vector<std::string>> ProcessorLines(std::string_view cpuinfo);
// LANG of /etc/default/locale or /etc/locale.conf (shell-style assignments).
std::optional<std::string> LocaleAssignment(std::string_view file);
// "<vendor> <version>, <Y/M/D>" from the DMI strings; the DMI date is MM/DD/YYYY.
std::optional<std::string> BiosVersionText(std::optional<std::string> vendor,
                                           std::optional<std::string> version,
                                           std::optional<std::string> date);
// The platform summary's name of a machine type: "x86_64" -> "x64-based PC".
std::string SystemTypeText(std::string_view machine);
// Kilobytes as whole megabytes with thousands separators: "16,012 MB".
std::string MegabytesText(std::uint64_t kb);
// "2026/12/7, 5:02:53" in local time.
std::string LocalTimeText(std::time_t when);
// "(UTC+08:00) Asia/Shanghai" for the local zone at `when`; `zoneName` may be empty.
std::string TimeZoneText(std::time_t when, std::string_view zoneName);

}  // namespace sysinfo
