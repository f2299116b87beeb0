#include "app/message_box.h"

#include <QMessageBox>

#include "app/widget_text.h"

namespace app {

void ShowMessageBox(QWidget* pOwner, std::string_view gbkText, std::string_view gbkCaption) {
    QMessageBox box(QMessageBox::NoIcon, ToWidgetText(gbkCaption), ToWidgetText(gbkText),
                    QMessageBox::Ok, pOwner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace app
