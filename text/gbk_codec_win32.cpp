#include <windows.h>

#include <climits>
#include <cstddef>
#include <utility>

#include "text/gbk_codec.h"
#include "text/wide_text.h"

namespace text::codec {
namespace {

constexpr UINT kCodePage = 936;

// `in`, text of code page `page`, as UTF-16; false when any byte of it is no character.
bool ToWide(UINT page, std::string_view in, std::wstring& wide) {
    auto converted = CodePageToWide(in, page, true);
    wide = converted ? std::move(*converted) : std::wstring();
    return converted.has_value();
}

// Appends `wide` in code page `page` to `out`; false, with `out` as it was, when a character
// has no form of its own there. Best fit (a look-alike, as "A" for "Ā") is off, and a
// character that would need the default character counts as having none.
bool AppendFromWide(UINT page, std::wstring_view wide, std::string& out) {
    if (wide.empty()) return true;
    if (wide.size() > INT_MAX) return false;
    const int wideLength = static_cast<int>(wide.size());
    const bool utf8 = page == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* pUsedDefault = utf8 ? nullptr : &usedDefault;  // must be null for CP_UTF8
    const int n = WideCharToMultiByte(page, flags, wide.data(), wideLength, nullptr, 0, nullptr,
                                      pUsedDefault);
    if (n <= 0 || usedDefault) return false;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(n));
    if (WideCharToMultiByte(page, flags, wide.data(), wideLength, out.data() + start, n, nullptr,
                            pUsedDefault) != n ||
        usedDefault) {
        out.resize(start);
        return false;
    }
    return true;
}

// True when `gbk` reads back as exactly `wide`: the conversion kept every character.
bool RoundTrips(std::string_view gbk, const std::wstring& wide) {
    std::wstring back;
    return ToWide(kCodePage, gbk, back) && back == wide;
}

}  // namespace

bool AppendUtf8AsGbk(std::string_view utf8, std::string& out) {
    std::wstring wide;
    if (!ToWide(CP_UTF8, utf8, wide)) return false;
    const std::size_t start = out.size();
    if (!AppendFromWide(kCodePage, wide, out)) return false;
    // No best fit slipped through, whatever the system's tables say.
    if (!RoundTrips(std::string_view(out).substr(start), wide)) {
        out.resize(start);
        return false;
    }
    return true;
}

bool AppendGbkAsUtf8(std::string_view gbk, std::string& out) {
    std::wstring wide;
    if (!ToWide(kCodePage, gbk, wide)) return false;
    // A byte the system maps to a character only by best fit does not come back as itself.
    std::string back;
    if (!AppendFromWide(kCodePage, wide, back) || back != gbk) return false;
    return AppendFromWide(CP_UTF8, wide, out);
}

}  // namespace text::codec
