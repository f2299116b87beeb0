// Conversions between UTF-8 and the page text encoding, code page 936 (GBK).
// This pair is the only place in the program that names the code page.
#pragma once

#include <string>
#include <string_view>

namespace text {

// UTF-8 to GBK. A character that GBK lacks, and every byte of malformed UTF-8, becomes "?"
// (the code page's default character); everything else is converted exactly.
std::string Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8, for showing page text. A byte sequence that is not GBK becomes "?", so any
// input converts (a lead byte cut off at the end of the text included).
std::string GbkToUtf8(std::string_view gbk);

}  // namespace text
