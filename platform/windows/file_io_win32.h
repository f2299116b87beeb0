// What the Windows file reader and the saved-folder writer share: UTF-8 names as UTF-16,
// the system's error texts, and the paths that name devices rather than files.
#pragma once

#include <windows.h>

#include <string>

namespace platform::file_io {

// "context: the system's text for `code` (error N)", in English where the system has it.
std::string ErrorText(const std::string& context, DWORD code);
// `utf8` as UTF-16; false when it is not UTF-8.
bool Utf8ToWide(const std::string& utf8, std::wstring& wide);
bool IsSeparator(wchar_t c);
// \\.\ and \\?\ paths: devices, volumes and the object namespace.
bool IsDevicePath(const std::wstring& path);

}  // namespace platform::file_io
