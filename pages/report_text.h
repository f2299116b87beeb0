// The text of the report, made in one place for quorrix-report and for the windows' saved
// report: which pages it holds, their captions, the terminal form of page text, and the saved
// file's name and bytes.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/page_dispatch.h"

namespace pages {

struct ReportPage {
    int nNumber;          // the report's page number: the category's position plus one
    std::string strText;  // GBK page text
};

// Every page the dispatch builds (kBuildPage), in list order, whose number `wanted` accepts.
std::vector<ReportPage> BuildReportPages(const PageSources& sources, CPageStrings* pStrings,
                                         const std::function<bool(int)>& wanted);

// GBK page text as UTF-8 with LF line ends, for a terminal or a text file. Strings from the
// firmware, the drive or the battery must not drive a terminal, so every control character
// (C0 but the line feed, DEL, and C1, U+0080-U+009F) shows as "?"; a page's own CR LF line ends
// become LF.
std::string ForTerminal(std::string_view gbk);

// How the pages are put together. kText: UTF-8, each page under "== caption ==", LF line ends.
// kRaw: the page bytes (GBK, CR LF) under GBK captions. `bAlone`: the first page only, without
// its caption (quorrix-report --page N).
enum class ReportForm { kText, kRaw };
std::string ComposeReport(const std::vector<ReportPage>& pages, ReportForm form, bool bAlone);

// The saved report's line ends and marks: LF on Linux; CR LF behind a UTF-8 byte order mark on
// Windows, where Notepad needs the mark to read UTF-8.
enum class ReportFileForm { kLinux, kWindows };
#ifdef _WIN32
inline constexpr ReportFileForm kThisSystemFileForm = ReportFileForm::kWindows;
#else
inline constexpr ReportFileForm kThisSystemFileForm = ReportFileForm::kLinux;
#endif

// Every page built from `sources`, as quorrix-report prints them when no page is chosen
// (kText), built in page strings of its own.
std::string ReportOfEveryPage(const PageSources& sources);

// The saved report: a first line with the program and `savedAt` (local time), then `report`
// (kText, LF line ends), with the line ends of `form`.
std::string ReportFileText(std::string_view report, const std::tm& savedAt, ReportFileForm form);

// "Quorrix-<serial>-<YYYYMMDD>.txt": the system's serial number made safe for a file name on
// every system (no separator, no character Windows reserves, no control or non-ASCII byte,
// trimmed, at most kSerialNameBytes bytes), or "laptop" when it is a placeholder or nothing is
// left of it.
inline constexpr std::size_t kSerialNameBytes = 64;
std::string ReportFileName(std::string_view systemSerial, const std::tm& date);

// The local time now (the C library's clock and time zone).
std::tm LocalTimeNow();

}  // namespace pages
