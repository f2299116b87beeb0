#include "pages/report_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "pages/dialog_texts.h"
#include "text/gbk.h"
#include "verdict/verdict_checks.h"

namespace pages {
namespace {

// The terminal form of a page, ending in a line end unless it is empty.
std::string ShownPage(std::string_view gbk) {
    std::string shown = ForTerminal(gbk);
    if (!shown.empty() && shown.back() != '\n') shown.push_back('\n');
    return shown;
}

std::string_view Trimmed(std::string_view s, std::string_view blanks) {
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::vector<ReportPage> BuildReportPages(const PageSources& sources, CPageStrings* pStrings,
                                         const std::function<bool(int)>& wanted) {
    std::vector<ReportPage> pages;
    for (int position = 0; position < static_cast<int>(kCategoryCount); ++position) {
        const int number = position + 1;
        if (ActionOf(position) == CategoryAction::kBuildPage && wanted(number))
            pages.push_back({number, BuildTextPage(position, sources, pStrings)});
    }
    return pages;
}

std::string ForTerminal(std::string_view gbk) {
    const std::string utf8 = text::GbkToUtf8(gbk);
    std::string out;
    out.reserve(utf8.size());
    std::size_t clean = 0;  // start of the bytes not yet copied, none of them a control
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                        static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;  // C2 80-9F
        if (byte >= 0x20 && byte != 0x7F && !c1) continue;
        if (byte == '\n') continue;
        out.append(utf8, clean, i - clean);
        if (byte == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            // a line end: the LF that follows is copied with the next bytes
        } else {
            out.push_back('?');
            if (c1) ++i;
        }
        clean = i + 1;
    }
    out.append(utf8, clean, utf8.size() - clean);
    return out;
}

std::string ComposeReport(const std::vector<ReportPage>& pages, ReportForm form, bool bAlone) {
    std::string out;
    for (const ReportPage& page : pages) {
        if (bAlone) {
            // One page: the text alone; raw is byte for byte what the window's pane gets.
            return form == ReportForm::kRaw ? page.strText : ShownPage(page.strText);
        }
        // The caption the window's page frame shows for this page.
        const std::string caption = "== " + std::string(CaptionOf(page.nNumber - 1)) + " ==";
        if (form == ReportForm::kRaw) {
            out += text::Utf8ToGbk(caption) + "\r\n" + page.strText;
            if (!page.strText.ends_with("\r\n")) out += "\r\n";
        } else {
            out += caption + "\n" + ShownPage(page.strText);
        }
    }
    return out;
}

std::string ReportOfEveryPage(const PageSources& sources) {
    CPageStrings strings;
    return ComposeReport(BuildReportPages(sources, &strings, [](int) { return true; }),
                         ReportForm::kText, false);
}

std::string ReportFileText(std::string_view report, const std::tm& savedAt, ReportFileForm form) {
    std::array<char, 80> when{};
    std::snprintf(when.data(), when.size(), "%04d-%02d-%02d %02d:%02d:%02d", savedAt.tm_year + 1900,
                  savedAt.tm_mon + 1, savedAt.tm_mday, savedAt.tm_hour, savedAt.tm_min,
                  savedAt.tm_sec);
    const std::string lf = std::string(kReportHeading) + when.data() + "\n" + std::string(report);
    if (form == ReportFileForm::kLinux) return lf;
    std::string crlf = "\xEF\xBB\xBF";
    crlf.reserve(lf.size() + lf.size() / 16 + 3);
    for (char c : lf) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

std::string ReportFileName(std::string_view systemSerial, const std::tm& date) {
    std::string safe;
    if (!verdict::IsPlaceholderSerial(systemSerial)) {
        // Printable ASCII only: bytes above it are in no known encoding, and Windows
        // reserves the nine characters below in every name.
        static constexpr std::string_view kReserved = "\\/:*?\"<>|";
        for (char c : systemSerial) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 0x20 && byte < 0x7F && kReserved.find(c) == std::string_view::npos)
                safe += c;
        }
        safe = std::string(Trimmed(safe, " "));
        if (safe.size() > kSerialNameBytes)
            safe = std::string(Trimmed(safe.substr(0, kSerialNameBytes), " "));
    }
    if (safe.empty()) safe = "laptop";
    std::array<char, 48> day{};
    std::snprintf(day.data(), day.size(), "%04d%02d%02d", date.tm_year + 1900, date.tm_mon + 1,
                  date.tm_mday);
    return "Quorrix-" + safe + "-" + day.data() + ".txt";
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? *local : std::tm{};
}

}  // namespace pages
