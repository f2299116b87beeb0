// Conversions between UTF-8 and the page text encoding, code page 936 (GBK).
// This pair is the only place in the program that names the code page.
#pragma once

#include <string>
#include <string_view>

namespace text {

// UTF-8 to GBK. A character that GBK lacks becomes "?" (the code page's default character),
// and so does each malformed sequence: a lead byte with the continuation bytes it announces
// counts as one, any other stray byte as one each. There is no best fit: a character GBK
// lacks never turns into a look-alike. Everything else is converted exactly.
std::string Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8, for showing page text. A byte pair that is no GBK character becomes one "?",
// a byte that starts no character (FF, a lead byte without its trail byte) one "?" each, so
// any input converts.
//
// Both ways, the Private Use Area (U+E000-U+F8FF; in GBK the user-defined areas and the
// unassigned pairs) counts as no character: the systems' tables disagree about it.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace text
