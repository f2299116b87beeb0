#include "app/widget_text.h"

#include "text/gbk.h"

namespace app {

QString ToWidgetText(std::string_view gbk) {
    QString shown = QString::fromStdString(text::GbkToUtf8(gbk));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString OwnText(std::string_view utf8) {
    return ToWidgetText(text::Utf8ToGbk(utf8));
}

}  // namespace app
