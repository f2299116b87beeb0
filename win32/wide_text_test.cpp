// Page text into the wide API, and the application's name.
#include "win32/wide_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "sysinfo/command_capture.h"
#include "text/gbk.h"
#include "win32/app_name.h"

namespace {

using win32::GbkToWide;
using win32::WideToGbk;

TEST(WideText, PageTextBecomesTheCharactersItEncodes) {
    EXPECT_EQ(GbkToWide(text::Utf8ToGbk("处理中，请稍候...")), L"处理中，请稍候...");
    // "BIOS大小    ：" as its bytes: B I O S, B4 F3 D0 A1, four blanks, A3 BA.
    EXPECT_EQ(GbkToWide("BIOS\xB4\xF3\xD0\xA1    \xA3\xBA"
                        "16MB"),
              L"BIOS大小    ：16MB");
    EXPECT_EQ(GbkToWide("\r\n"), L"\r\n");
    EXPECT_EQ(GbkToWide(""), L"");
    // What is not GBK shows as "?", as everywhere else page text is shown: a lead byte cut off
    // at the end (a summary piece that ends mid-character).
    EXPECT_EQ(GbkToWide(std::string("A\xB4", 2)), L"A?");
}

TEST(WideText, BackToPageTextUnchanged) {
    const std::string page = text::Utf8ToGbk("电池唯一ID号：1234SMP\r\n设计容量    ：57000mWh\r\n");
    EXPECT_EQ(WideToGbk(GbkToWide(page)), page);
    EXPECT_EQ(win32::WideToUtf8(L"温度 摄氏度"), "温度 摄氏度");
    EXPECT_EQ(win32::Utf8ToWide("温度 摄氏度"), L"温度 摄氏度");
    // A character GBK lacks becomes "?" on the way back.
    EXPECT_EQ(WideToGbk(L"x\uD55Cy"), text::Utf8ToGbk("x?y"));
}

TEST(ApplicationName, IsTheFileNameWithoutItsExtension) {
    EXPECT_EQ(win32::ApplicationNameOf(L"E:\\quorrix.exe"), "quorrix");
    EXPECT_EQ(win32::ApplicationNameOf(L"C:\\Users\\a.b\\Desktop\\quorrix (2).exe"), "quorrix (2)");
    EXPECT_EQ(win32::ApplicationNameOf(L"D:\\工具\\笔记本检测.v2.exe"),
              text::Utf8ToGbk("笔记本检测.v2"));
    EXPECT_EQ(win32::ApplicationNameOf(L"/tmp/noext"), "noext");
    EXPECT_EQ(win32::ApplicationNameOf(L"C:\\.hidden"), ".hidden");
    // This program's own.
    EXPECT_EQ(win32::ApplicationName(), "quorrix_win32_tests");
}

// The window tests run twice: under the Chinese code page and under the Western one, where
// text through the 8-bit window API would show as Latin letters. QUORRIX_EXPECT_ACP says
// which run this is, so that the second run cannot quietly run under 936.
TEST(CodePage, IsTheOneThisRunIsFor) {
    const char* expected = std::getenv("QUORRIX_EXPECT_ACP");
    if (expected == nullptr) GTEST_SKIP() << "no code page asked for; this is " << GetACP();
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

}  // namespace

namespace {

TEST(WideText, CommandOutputInTheOemCodePage) {
    struct Case {
        unsigned codePage;
        std::string bytes;
        std::wstring shown;
    };
    const Case cases[] = {
        {936, "\xD6\xF7\xBB\xFA\xC3\xFB: x\r\n", L"主机名: x\r\n"},            // GBK
        {950, "\xA5\x44\xBE\xF7\xA6\x57\xBA\xD9: x\r\n", L"主機名稱: x\r\n"},  // Big5
        {65001, "\xE4\xB8\xBB\xE6\xA9\x9F: x\r\n", L"主機: x\r\n"},            // UTF-8
        {437, "\x9A\r\n", L"\u00DC\r\n"},                                      // Western
        {936, "", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::CommandOutputToWide(c.bytes, c.codePage), c.shown) << c.codePage;
        // Cut at 1 MB: this program's own notice line reads right in every code page.
        const std::string cut = c.bytes + std::string(sysinfo::kOutputCutText);
        EXPECT_EQ(win32::CommandOutputToWide(cut, c.codePage),
                  c.shown + L"（输出超过 1 MB，其余已略去）\r\n")
            << c.codePage;
    }
}

}  // namespace
