#include "win32/wide_text.h"

#include <windows.h>

#include <climits>

#include "sysinfo/command_capture.h"
#include "text/gbk.h"

namespace win32 {

namespace {

std::wstring CodePageToWide(std::string_view bytes, UINT codePage) {
    if (bytes.empty() || bytes.size() > INT_MAX) return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), n);
    return wide;
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
    if (wide.empty() || wide.size() > INT_MAX) return {};
    const int size = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string utf8(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

std::string WideToGbk(std::wstring_view wide) {
    return text::Utf8ToGbk(WideToUtf8(wide));
}

}  // namespace win32
