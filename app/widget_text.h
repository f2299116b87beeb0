// Page text (GBK) becomes widget text here and nowhere else.
#pragma once

#include <string_view>

#include <QString>

namespace app {

// `gbk` as the text a widget shows: converted to Unicode, each CR LF a line break.
QString ToWidgetText(std::string_view gbk);

// A UTF-8 text of the program's own (dialog_texts.h) as a widget shows it: through page text,
// so that it shows exactly what the GBK text holds.
QString OwnText(std::string_view utf8);

}  // namespace app
