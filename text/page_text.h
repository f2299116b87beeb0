// The shape shared by every text page: a label column twelve display columns wide closed by
// the full-width colon, values and units appended directly, lines joined by CR LF.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace text {

inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr std::string_view kFullWidthColon = "\xA3\xBA";  // "：" in GBK
inline constexpr std::size_t kLabelColumns = 12;

// The GBK label for a UTF-8 field name: the name, ASCII blanks up to twelve columns (a
// Chinese character counts two, as it takes two GBK bytes), then "：". A name wider than
// the column is kept whole and gets no blank.
std::string Label(std::string_view utf8Name);

// One page line: the label of `utf8Name`, then `value` (GBK, as stored, but each control
// byte, 00-1F and 7F, shown as "?"), then `utf8Suffix`.
std::string Line(std::string_view utf8Name, std::string_view value,
                 std::string_view utf8Suffix = {});

// Millivolts as volts with six decimals, as "%f" prints millivolts / 1000.0, whatever the
// process locale. For any 32-bit count the quotient lies far within half a millionth of the
// exact decimal, so the decimals are the three millivolt digits and "000".
std::string Volts(std::uint32_t millivolts);

// The lines joined by CR LF; `finalBreak` adds one after the last line too.
std::string JoinLines(std::initializer_list<std::string> lines, bool finalBreak);

}  // namespace text
