#include "text/wide_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr unsigned kUtf8 = 65001;
constexpr unsigned kGbk = 936;

TEST(WideText, CodePagesToUtf16AndBackToUtf8) {
    struct Case {
        const char* name;
        std::string bytes;
        unsigned codePage;
        std::optional<std::wstring> strict;  // nullopt: refused
        std::wstring lenient;
        std::string utf8;  // the lenient text back as UTF-8
    };
    const std::string battery = "\xE7\x94\xB5\xE6\xB1\xA0";  // 电池
    const Case cases[] = {
        {"empty", "", kUtf8, L"", L"", ""},
        {"ascii", "BAT0", kUtf8, L"BAT0", L"BAT0", "BAT0"},
        {"utf-8 with a pair", battery + " \xF0\x9F\x94\x8B", kUtf8, L"\x7535\x6C60 \xD83D\xDD0B",
         L"\x7535\x6C60 \xD83D\xDD0B", battery + " \xF0\x9F\x94\x8B"},
        {"gbk", "\xB5\xE7\xB3\xD8", kGbk, L"\x7535\x6C60", L"\x7535\x6C60", battery},
        {"a stray continuation byte", "a\x80z", kUtf8, std::nullopt, L"a\xFFFDz", "a\xEF\xBF\xBDz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(text::CodePageToWide(c.bytes, c.codePage, true), c.strict);
        EXPECT_EQ(text::CodePageToWide(c.bytes, c.codePage, false), c.lenient);
        EXPECT_EQ(text::WideToUtf8(c.lenient), c.utf8);
    }
    // A surrogate written in UTF-8 is no character; a lone one in UTF-16 has no UTF-8 form.
    EXPECT_EQ(text::CodePageToWide("\xED\xA0\x80", kUtf8, true), std::nullopt);
    EXPECT_EQ(text::WideToUtf8(L"x\xD83D"), "x\xEF\xBF\xBD");
}

}  // namespace
