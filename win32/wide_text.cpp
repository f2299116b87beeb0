#include "win32/wide_text.h"

#include <windows.h>

#include "sysinfo/command_capture.h"
#include "text/gbk.h"
#include "text/wide_text.h"

namespace win32 {

namespace {

std::wstring CodePageToWide(std::string_view bytes, UINT codePage) {
    return text::CodePageToWide(bytes, codePage, false).value_or(std::wstring());
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    return CodePageToWide(utf8, CP_UTF8);
}

std::wstring CommandOutputToWide(std::string_view bytes, unsigned codePage) {
    std::string_view notice;
    if (bytes.ends_with(sysinfo::kOutputCutText)) {
        notice = bytes.substr(bytes.size() - sysinfo::kOutputCutText.size());
        bytes.remove_suffix(notice.size());
    }
    return CodePageToWide(bytes, codePage) + GbkToWide(notice);
}

std::wstring GbkToWide(std::string_view gbk) {
    return Utf8ToWide(text::GbkToUtf8(gbk));
}

std::string WideToUtf8(std::wstring_view wide) {
    return text::WideToUtf8(wide);
}

std::string WideToGbk(std::wstring_view wide) {
    return text::Utf8ToGbk(WideToUtf8(wide));
}

}  // namespace win32
