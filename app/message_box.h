// The program's message boxes: one OK button, page text (GBK) for text and caption.
#pragma once

#include <string_view>

class QWidget;

namespace app {

// Shows the box over `pOwner` (none: centred on the screen, before any window exists) and
// returns when the user has dismissed it.
void ShowMessageBox(QWidget* pOwner, std::string_view gbkText, std::string_view gbkCaption);

}  // namespace app
