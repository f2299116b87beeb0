// The window's message boxes: page text (GBK) shown through the wide API, one OK button.
#pragma once

#include <windows.h>

#include <string_view>

namespace win32 {

// Shows `gbkText` under `gbkCaption`, owned by `hOwner` (null before any window exists),
// and returns when the user has dismissed it.
void ShowMessageBox(HWND hOwner, std::string_view gbkText, std::string_view gbkCaption);

}  // namespace win32
