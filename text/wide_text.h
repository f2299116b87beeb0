// Text for the system's wide (UTF-16) API on Windows: every conversion between bytes and
// UTF-16 goes through these two.
#pragma once

#ifdef _WIN32

#include <optional>
#include <string>
#include <string_view>

namespace text {

// `bytes`, text of code page `codePage` (65001 is UTF-8, 936 GBK), as UTF-16. nullopt when
// the system cannot convert it; with `strict` also when a byte of it is no character of that
// page, which otherwise becomes U+FFFD as the system converts it. Empty text is valid.
std::optional<std::wstring> CodePageToWide(std::string_view bytes, unsigned codePage, bool strict);

// UTF-16 to UTF-8 (a lone surrogate becomes U+FFFD); "" when the system cannot convert it.
std::string WideToUtf8(std::wstring_view wide);

}  // namespace text

#endif
