// The system's converter between UTF-8 and code page 936 (GBK): iconv on Linux
// (gbk_codec_iconv.cpp), the code page calls on Windows (gbk_codec_win32.cpp). A codec
// converts exactly or refuses; what becomes of a text it refuses is decided once, for every
// system, in gbk.cpp.
#pragma once

#include <string>
#include <string_view>

namespace text::codec {

// Appends `utf8`, well-formed UTF-8, converted to GBK to `out` and returns true, when every
// character of it has a GBK form of its own (no look-alike). Otherwise returns false and
// leaves `out` as it was.
[[nodiscard]] bool AppendUtf8AsGbk(std::string_view utf8, std::string& out);

// Appends `gbk`, whole single bytes and byte pairs, converted to UTF-8 to `out` and returns
// true, when every one of them is a GBK character. Otherwise returns false and leaves `out`
// as it was.
[[nodiscard]] bool AppendGbkAsUtf8(std::string_view gbk, std::string& out);

}  // namespace text::codec
