// Text for the wide (UTF-16) window API. Page text stays GBK everywhere else; it becomes
// UTF-16 only where it is set into a control, so it reads right whatever the system's ANSI
// code page is.
#pragma once

#include <string>
#include <string_view>

namespace win32 {

// UTF-8 to UTF-16 (malformed bytes become U+FFFD, as the system converts them).
std::wstring Utf8ToWide(std::string_view utf8);
// Page text (GBK) to UTF-16, with the page text rules: what is not GBK shows as "?".
std::wstring GbkToWide(std::string_view gbk);

// A console program's output to UTF-16: `bytes` in `codePage` (the OEM code page, in which
// console programs write when their output is redirected; 65001 is UTF-8). Output that ends
// with sysinfo::kOutputCutText has that line in GBK, as this program wrote it.
std::wstring CommandOutputToWide(std::string_view bytes, unsigned codePage);

// UTF-16 to UTF-8 (a lone surrogate becomes U+FFFD).
std::string WideToUtf8(std::wstring_view wide);
// UTF-16 back to page text (GBK), e.g. a control's text to compare with a page.
std::string WideToGbk(std::wstring_view wide);

}  // namespace win32
