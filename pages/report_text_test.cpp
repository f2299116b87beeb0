#include "pages/report_text.h"

#include <gtest/gtest.h>

#include <string>

#include "text/gbk.h"

namespace {

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    std::tm when{};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    return when;
}

TEST(ReportText, TerminalFormShowsControlsAsQuestionMarks) {
    struct Case {
        std::string gbk;
        std::string shown;
    };
    const Case cases[] = {
        {"A\r\nB\r\n", "A\nB\n"},  // the page's line ends become LF
        {"A\rB", "A?B"},           // a lone CR would overwrite the line
        {"x\r", "x?"},             // ... also as the last byte
        {"\r\r\n", "?\n"},         // a CR before a line end
        {"\x1b[2J\x07", "?[2J?"},  // escapes and the bell
        {"a\tb\x7f"
         "c\x01",
         "a?b?c?"},                                 // tab, DEL and the other C0 codes
        {"n\nm", "n\nm"},                           // a bare LF is a line end already
        {text::Utf8ToGbk("电池：好"), "电池：好"},  // GBK text arrives as UTF-8
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(pages::ForTerminal(c.gbk), c.shown) << c.gbk;
}

// The saved file is the report's text (each page under its caption, LF, what quorrix-report
// prints) under a first line with the time; on Windows behind a byte order mark with CR LF.
TEST(ReportText, SavedFileIsTheReportUnderItsFirstLine) {
    const std::vector<pages::ReportPage> pages = {
        {1, text::Utf8ToGbk("厂商    ：ACME\r\n版本    ：1.0\r\n")},
        {10, text::Utf8ToGbk("型号    ：X\x1b")},  // no line end after the last line
        {12, ""},                                  // a page with nothing on it
    };
    const std::tm at = At(2026, 3, 5, 7, 8, 9);
    const std::string expected =
        "Quorrix V2.0 检测报告  保存于 2026-03-05 07:08:09\n"
        "== BIOS信息 ==\n厂商    ：ACME\n版本    ：1.0\n"
        "== 显示屏信息 ==\n型号    ：X?\n"
        "== 验机结论 ==\n";
    const std::string report = pages::ComposeReport(pages, pages::ReportForm::kText, false);
    EXPECT_EQ(pages::ReportFileText(report, at, pages::ReportFileForm::kLinux), expected);
    const std::string windows = pages::ReportFileText(report, at, pages::ReportFileForm::kWindows);
    std::string crlf = "\xEF\xBB\xBF";
    for (char c : expected) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(windows, crlf);
}

TEST(ReportText, FileNameKeepsWhatIsSafeOfTheSerial) {
    struct Case {
        std::string serial;
        std::string name;
    };
    std::string longSerial;
    for (int i = 0; i < 100; ++i) longSerial += static_cast<char>('A' + i % 26);
    const Case cases[] = {
        {"PF2ABCDE", "Quorrix-PF2ABCDE-20260305.txt"},
        {"  PF2 ABCDE \t", "Quorrix-PF2 ABCDE-20260305.txt"},  // trimmed, the inner blank kept
        {"..\\a/b:c*d?e\"f<g>h|i", "Quorrix-..abcdefghi-20260305.txt"},  // no separator
        {"\x1b[2JX\x7f\x01Y", "Quorrix-[2JXY-20260305.txt"},             // no control character
        {"SN\xB5\xE7\xB3\xD8"
         "1",
         "Quorrix-SN1-20260305.txt"},  // bytes above ASCII dropped
        {longSerial, "Quorrix-" + longSerial.substr(0, pages::kSerialNameBytes) + "-20260305.txt"},
        {longSerial.substr(0, 63) + " C", "Quorrix-" + longSerial.substr(0, 63) + "-20260305.txt"},
        {"", "Quorrix-laptop-20260305.txt"},
        {"  \t", "Quorrix-laptop-20260305.txt"},
        {"///", "Quorrix-laptop-20260305.txt"},
        {std::string("\0\0", 2), "Quorrix-laptop-20260305.txt"},
        {"\xB5\xE7\xB3\xD8", "Quorrix-laptop-20260305.txt"},
        // The makers' placeholders name no machine: trimmed, any case.
        {"To Be Filled By O.E.M.", "Quorrix-laptop-20260305.txt"},
        {std::string(" Default string\0", 16), "Quorrix-laptop-20260305.txt"},
        {"SYSTEM SERIAL NUMBER", "Quorrix-laptop-20260305.txt"},
        {"Not Specified", "Quorrix-laptop-20260305.txt"},
        {"0", "Quorrix-laptop-20260305.txt"},
        {"0123456789", "Quorrix-laptop-20260305.txt"},
        {"xxxxxxxx", "Quorrix-laptop-20260305.txt"},
        {"1", "Quorrix-1-20260305.txt"},  // one character alone is no repeat
        {"00000001", "Quorrix-00000001-20260305.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pages::ReportFileName(c.serial, At(2026, 3, 5, 23, 59, 59)), c.name) << c.serial;
    }
    EXPECT_EQ(pages::ReportFileName("S", At(1999, 12, 31, 0, 0, 0)), "Quorrix-S-19991231.txt");
}

}  // namespace
