#include "app/message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "app/widget_text.h"
#include "pages/dialog_texts.h"

namespace app {

void ShowMessageBox(QWidget* pOwner, std::string_view gbkText, std::string_view gbkCaption) {
    QMessageBox box(QMessageBox::NoIcon, ToWidgetText(gbkCaption), ToWidgetText(gbkText),
                    QMessageBox::Ok, pOwner);
    box.setTextFormat(Qt::PlainText);
    // The button speaks the program's language, as the system's own box would.
    box.button(QMessageBox::Ok)->setText(OwnText(pages::kOkText));
    box.exec();
}

}  // namespace app
