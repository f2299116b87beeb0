#include "sysinfo/system_summary.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "text/gbk.h"

namespace sysinfo {
namespace {

constexpr std::string_view kCrLf = "\r\n";
// Lines under an adapter are indented six more columns, under its "[01]: " mark.
constexpr std::size_t kAdapterDetailColumn = kValueColumn + 6;

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

// Calls `fn(line)` for every line of `text`, without its line end.
template <typename Fn>
void ForEachLine(std::string_view text, Fn fn) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        fn(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view s) {
    std::uint64_t value = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || ptr == s.data()) return std::nullopt;
    return value;
}

// "[01]: " for the first entry of a list, as the platform summary numbers them.
std::string Mark(std::size_t index) {
    const std::string number = std::to_string(index + 1);
    std::string mark = "[";
    if (number.size() < 2) mark += '0';
    mark += number;
    mark += "]: ";
    return mark;
}

class CSummaryWriter {
public:
    // "key:" padded to the value column, then the value (all UTF-8 in, GBK out); an unknown
    // value says so.
    void Line(std::string_view key, std::string_view value) {
        std::string head = text::Utf8ToGbk(std::string(key) + ":");
        head.append(head.size() < kValueColumn ? kValueColumn - head.size() : 1, ' ');
        m_strText += head + text::Utf8ToGbk(value);
        m_strText += kCrLf;
    }
    void Known(std::string_view key, const std::optional<std::string>& value) {
        Line(key, value ? std::string_view(*value) : kUnavailable);
    }
    // A continuation line starting in `column`.
    void Indented(std::size_t column, std::string_view value) {
        m_strText.append(column, ' ');
        m_strText += text::Utf8ToGbk(value);
        m_strText += kCrLf;
    }
    std::string Take() { return std::move(m_strText); }

private:
    std::string m_strText;
};

}  // namespace

std::string FormatSummary(const SummaryFacts& facts) {
    CSummaryWriter out;
    out.Known("主机名", facts.hostName);
    out.Known("OS 名称", facts.osName);
    out.Known("OS 版本", facts.osVersion);
    out.Known("内核版本", facts.kernelVersion);
    out.Known("系统启动时间", facts.bootTime);
    out.Known("系统制造商", facts.manufacturer);
    out.Known("系统型号", facts.model);
    out.Known("系统类型", facts.systemType);
    if (facts.processors) {
        out.Line("处理器", "安装了 " + std::to_string(facts.processors->size()) + " 个处理器。");
        for (std::size_t i = 0; i < facts.processors->size(); ++i) {
            out.Indented(kValueColumn, Mark(i) + (*facts.processors)[i]);
        }
    } else {
        out.Line("处理器", kUnavailable);
    }
    out.Known("BIOS 版本", facts.biosVersion);
    out.Known("系统区域设置", facts.locale);
    out.Known("时区", facts.timeZone);
    auto memory = [](const std::optional<std::uint64_t>& kb) -> std::optional<std::string> {
        if (!kb) return std::nullopt;
        return MegabytesText(*kb);
    };
    out.Known("物理内存总量", memory(facts.memTotalKb));
    out.Known("可用的物理内存", memory(facts.memAvailableKb));
    out.Known("交换空间总量", memory(facts.swapTotalKb));
    out.Known("可用的交换空间", memory(facts.swapFreeKb));
    if (facts.adapters) {
        out.Line("网卡", "安装了 " + std::to_string(facts.adapters->size()) + " 个 NIC。");
        for (std::size_t i = 0; i < facts.adapters->size(); ++i) {
            const AdapterFacts& adapter = (*facts.adapters)[i];
            out.Indented(kValueColumn, Mark(i) + adapter.strName);
            if (adapter.addresses.empty()) {
                out.Indented(kAdapterDetailColumn, "IP 地址:     无");
                continue;
            }
            out.Indented(kAdapterDetailColumn, "IP 地址");
            for (std::size_t a = 0; a < adapter.addresses.size(); ++a) {
                out.Indented(kAdapterDetailColumn, Mark(a) + adapter.addresses[a]);
            }
        }
    } else {
        out.Line("网卡", kUnavailable);
    }
    return out.Take();
}

std::optional<std::string> OsReleaseValue(std::string_view osRelease, std::string_view key) {
    std::optional<std::string> found;
    ForEachLine(osRelease, [&](std::string_view line) {
        line = Trim(line);
        if (found || line.size() <= key.size() || !line.starts_with(key) ||
            line[key.size()] != '=') {
            return;
        }
        std::string_view value = line.substr(key.size() + 1);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        // os-release allows backslash escapes inside double quotes.
        std::string unescaped;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            unescaped += value[i];
        }
        if (!unescaped.empty()) found = std::move(unescaped);
    });
    return found;
}

std::optional<std::uint64_t> MeminfoKb(std::string_view meminfo, std::string_view key) {
    std::optional<std::uint64_t> found;
    ForEachLine(meminfo, [&](std::string_view line) {
        if (found || line.size() <= key.size() || !line.starts_with(key) ||
            line[key.size()] != ':') {
            return;
        }
        std::string_view value = Trim(line.substr(key.size() + 1));
        const auto blank = value.find(' ');
        if (blank != std::string_view::npos && Trim(value.substr(blank)) != "kB") return;
        found = ParseUnsigned(value.substr(0, blank));
    });
    return found;
}

std::optional<std::int64_t> BootTimeSeconds(std::string_view procStat) {
    std::optional<std::int64_t> found;
    ForEachLine(procStat, [&](std::string_view line) {
        if (found || !line.starts_with("btime ")) return;
        if (auto value = ParseUnsigned(Trim(line.substr(6)))) {
            if (*value > 0 && *value < (std::uint64_t{1} << 62))
                found = static_cast<std::int64_t>(*value);
        }
    });
    return found;
}

std::optional<std::vector<std::string>> ProcessorLines(std::string_view cpuinfo) {
    struct Package {
        std::string strId;
        std::string strModel;
        std::string strMhz;
    };
    std::vector<Package> packages;
    Package current;
    bool inBlock = false;
    bool anyPhysicalId = false;
    auto finish = [&] {
        if (!inBlock) return;
        const bool known = std::any_of(packages.begin(), packages.end(),
                                       [&](const Package& p) { return p.strId == current.strId; });
        if (!known) packages.push_back(current);
        current = {};
        inBlock = false;
    };
    ForEachLine(cpuinfo, [&](std::string_view line) {
        if (Trim(line).empty()) {
            finish();
            return;
        }
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) return;
        const std::string_view key = Trim(line.substr(0, colon));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (key == "processor") inBlock = true;
        if (key == "physical id") {
            current.strId = value;
            anyPhysicalId = true;
        } else if ((key == "model name" || key == "cpu model") && current.strModel.empty()) {
            current.strModel = value;
        } else if (key == "cpu MHz" && current.strMhz.empty()) {
            current.strMhz = value;
        }
    });
    finish();
    if (packages.empty()) return std::nullopt;
    // Without physical ids (some virtual machines, most ARM kernels) the logical processors
    // cannot be told apart by package: count them as one, as the platform summary would.
    if (!anyPhysicalId) packages.resize(1);

    std::vector<std::string> lines;
    for (const Package& p : packages) {
        std::string line = p.strModel.empty() ? std::string(kUnavailable) : p.strModel;
        double mhz = 0;
        const auto [ptr, ec] =
            std::from_chars(p.strMhz.data(), p.strMhz.data() + p.strMhz.size(), mhz);
        if (ec == std::errc() && ptr != p.strMhz.data() && mhz >= 1 && mhz < 1e6) {
            line += " ~" + std::to_string(static_cast<long>(mhz + 0.5)) + " Mhz";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::optional<std::string> LocaleAssignment(std::string_view file) {
    auto value = OsReleaseValue(file, "LANG");
    if (!value) value = OsReleaseValue(file, "LC_ALL");
    return value;
}

std::optional<std::string> BiosVersionText(std::optional<std::string> vendor,
                                           std::optional<std::string> version,
                                           std::optional<std::string> date) {
    if (!vendor && !version) return std::nullopt;
    std::string text = vendor.value_or("");
    if (version) text += (text.empty() ? "" : " ") + *version;
    if (date) {
        // MM/DD/YYYY, the SMBIOS BIOS release date form; shown year first without zeros.
        unsigned month = 0, day = 0, year = 0;
        char tail = 0;
        if (std::sscanf(date->c_str(), "%2u/%2u/%4u%c", &month, &day, &year, &tail) == 3 &&
            month >= 1 && month <= 12 && day >= 1 && day <= 31) {
            text += ", " + std::to_string(year) + "/" + std::to_string(month) + "/" +
                    std::to_string(day);
        } else {
            text += ", " + *date;
        }
    }
    return text;
}

std::string SystemTypeText(std::string_view machine) {
    if (machine == "x86_64") return "x64-based PC";
    if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86")
        return "X86-based PC";
    if (machine == "aarch64" || machine == "arm64") return "ARM64-based PC";
    return std::string(machine) + "-based PC";
}

std::string MegabytesText(std::uint64_t kb) {
    const std::string digits = std::to_string(kb / 1024);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        // A separator before every group of three counted from the right.
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text + " MB";
}

std::string LocalTimeText(std::time_t when) {
    const std::tm* local = std::localtime(&when);
    if (!local) return std::string(kUnavailable);
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d/%d, %d:%02d:%02d", local->tm_year + 1900,
                  local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec);
    return text;
}

std::string TimeZoneText(std::time_t when, std::string_view zoneName) {
    const std::tm* local = std::localtime(&when);
    if (!local) return std::string(kUnavailable);
    char offset[16] = {};
    char abbreviation[32] = {};
    std::strftime(offset, sizeof offset, "%z", local);  // "+0800"
    std::strftime(abbreviation, sizeof abbreviation, "%Z", local);
    std::string text = "(UTC";
    const std::string_view z = offset;
    if (z.size() == 5) {
        text += std::string(z.substr(0, 3)) + ":" + std::string(z.substr(3));
    }
    text += ") ";
    text += zoneName.empty() ? std::string_view(abbreviation) : zoneName;
    return text;
}

}  // namespace sysinfo
