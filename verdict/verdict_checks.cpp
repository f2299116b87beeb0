#include "verdict/verdict_checks.h"

#include <algorithm>
#include <limits>

#include "text/gbk.h"

namespace verdict {
namespace {

constexpr std::string_view kNoValue = "-";

bool IsTrimmed(char c) {
    return c == ' ' || c == '\t' || c == '\0';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsTrimmed(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsTrimmed(s.back())) s.remove_suffix(1);
    return s;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

// The worse of two statuses (unknown aside: the checks that combine figures have them all).
Status Worse(Status a, Status b) {
    return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

Row Unknown(std::string_view label) {
    return {label, Status::kUnknown, {}};
}

// A row whose figure is one decimal text between an ASCII prefix and suffix in UTF-8.
Row Counted(std::string_view label, Measure measure, const std::string& text,
            std::string_view utf8Before, std::string_view utf8After) {
    const auto figure = ParseCount(text);
    if (!figure) return Unknown(label);
    return {label, Judge(measure, *figure),
            text::Utf8ToGbk(std::string(utf8Before) + text + std::string(utf8After))};
}

Row BadSectors(const DriveFacts& drive) {
    constexpr std::string_view kLabel = "硬盘坏块";
    const std::string* const counts[] = {&drive.strReallocatedSectors, &drive.strPendingSectors,
                                         &drive.strUncorrectableSectors};
    Status status = Status::kNormal;
    bool any = false;
    std::string shown[3];
    for (std::size_t i = 0; i < 3; ++i) {
        const auto count = ParseCount(*counts[i]);
        shown[i] = count ? *counts[i] : std::string(kNoValue);
        if (!count) continue;
        any = true;
        status = Worse(status, Judge(Measure::kBadSectors, *count));
    }
    if (!any) return Unknown(kLabel);
    return {
        kLabel, status,
        text::Utf8ToGbk("重映射 " + shown[0] + "，待映射 " + shown[1] + "，不可修复 " + shown[2])};
}

Row DriveLife(const DriveFacts& drive) {
    constexpr std::string_view kLabel = "硬盘寿命";
    const auto used = ParseCount(drive.strPercentageUsed);
    const auto spare = ParseCount(drive.strAvailableSpare);
    const auto threshold = ParseCount(drive.strSpareThreshold);
    const auto errors = ParseCount(drive.strMediaErrors);
    const auto warning = ParseCount(drive.strCriticalWarning);
    if (!used || !spare || !threshold || !errors || !warning) return Unknown(kLabel);
    Status status = Worse(Judge(Measure::kLifeUsed, *used), Judge(Measure::kMediaErrors, *errors));
    if (*spare < *threshold || *warning != 0) status = Status::kFault;
    return {
        kLabel, status,
        text::Utf8ToGbk("已用 " + drive.strPercentageUsed + "%，备用 " + drive.strAvailableSpare +
                        "%，阈值 " + drive.strSpareThreshold + "%，错误 " + drive.strMediaErrors +
                        "，警告 " + drive.strCriticalWarning)};
}

Row Serials(const std::optional<SerialFacts>& serials) {
    constexpr std::string_view kLabel = "整机序列号";
    if (!serials) return Unknown(kLabel);
    const bool placeholder =
        IsPlaceholderSerial(serials->strSystem) || IsPlaceholderSerial(serials->strBoard);
    // The serials are firmware bytes, kept as they are; only the words around them convert.
    const auto shown = [](const std::string& serial) {
        return Trim(serial).empty() ? std::string(kNoValue) : serial;
    };
    return {kLabel, placeholder ? Status::kAttention : Status::kNormal,
            text::Utf8ToGbk("整机 ") + shown(serials->strSystem) + text::Utf8ToGbk("，主板 ") +
                shown(serials->strBoard)};
}

Row Screen(const std::optional<PanelFacts>& panel) {
    constexpr std::string_view kLabel = "屏幕";
    // Before EDID 1.4 there is no colour depth to judge: only a wrong checksum says anything.
    if (!panel || (panel->bChecksumOk && !panel->bitsPerColor)) return Unknown(kLabel);
    std::string figure = panel->bChecksumOk ? "校验和正确" : "校验和错误";
    if (panel->bitsPerColor) figure += "，" + std::to_string(*panel->bitsPerColor) + " 位";
    const Status status =
        panel->bChecksumOk ? Judge(Measure::kColourBits, *panel->bitsPerColor) : Status::kFault;
    return {kLabel, status, text::Utf8ToGbk(figure)};
}

}  // namespace

Status Judge(Measure measure, std::uint64_t figure) {
    const Threshold& row = ThresholdOf(measure);
    const auto reaches = [&](const std::optional<std::uint64_t>& level) {
        if (!level) return false;
        return row.sense == Sense::kAtLeast ? figure >= *level : figure < *level;
    };
    if (reaches(row.fault)) return Status::kFault;
    if (reaches(row.attention)) return Status::kAttention;
    return Status::kNormal;
}

std::optional<std::uint64_t> ParseCount(std::string_view text) {
    if (text.empty()) return std::nullopt;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

bool IsPlaceholderSerial(std::string_view serial) {
    const std::string_view trimmed = Trim(serial);
    if (trimmed.empty()) return true;
    for (const std::string_view placeholder : kSerialPlaceholders) {
        if (EqualsIgnoringCase(trimmed, placeholder)) return true;
    }
    return trimmed.size() >= 2 && std::all_of(trimmed.begin(), trimmed.end(), [&](char c) {
               return Lower(c) == Lower(trimmed.front());
           });
}

std::vector<Row> JudgeChecks(const Facts& facts) {
    std::vector<Row> rows;
    rows.push_back(Counted("电池损耗", Measure::kBatteryWear, facts.battery.strWear, "损耗 ", "%"));
    rows.push_back(
        Counted("电池循环", Measure::kBatteryCycles, facts.battery.strCycleCount, "循环 ", " 次"));
    rows.push_back(
        Counted("硬盘通电", Measure::kPowerOnHours, facts.drive.strPowerOnHours, "通电 ", " 小时"));
    if (facts.drive.kind != DriveKind::kNvme) rows.push_back(BadSectors(facts.drive));
    if (facts.drive.kind != DriveKind::kAta) rows.push_back(DriveLife(facts.drive));
    rows.push_back(Serials(facts.serials));
    rows.push_back(Screen(facts.panel));
    return rows;
}

}  // namespace verdict
