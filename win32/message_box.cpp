#include "win32/message_box.h"

#include "win32/wide_text.h"

namespace win32 {

void ShowMessageBox(HWND hOwner, std::string_view gbkText, std::string_view gbkCaption) {
    MessageBoxW(hOwner, GbkToWide(gbkText).c_str(), GbkToWide(gbkCaption).c_str(), MB_OK);
}

}  // namespace win32
