#include "app/about_dlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "app/app_icon.h"
#include "app/dialog_units.h"
#include "app/widget_text.h"
#include "pages/dialog_texts.h"

namespace {

// The layout in dialog units: 235 x 55, an icon, two lines of text and the OK button.
constexpr QRect kAboutRect(0, 0, 235, 55);
constexpr QRect kIconRect(11, 17, 20, 20);
constexpr QRect kVersionRect(40, 10, 119, 8);
constexpr QRect kDateRect(40, 25, 119, 8);
constexpr QRect kOkRect(178, 7, 50, 14);
// An icon control takes the size of the icon it shows, whatever its rectangle says.
constexpr int kIconPixels = 32;

}  // namespace

CAboutDlg::CAboutDlg(QWidget* pParent)
    : QDialog(pParent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    const QFont font = app::DialogFont();
    setFont(font);
    const app::DialogBaseUnits units = app::BaseUnitsOf(font);
    setWindowTitle(app::OwnText(pages::kAboutTitle));
    setFixedSize(app::MapDialogRect(kAboutRect, units).size());

    auto* pIcon = new QLabel(this);
    const QRect iconRect = app::MapDialogRect(kIconRect, units);
    pIcon->setGeometry(iconRect.x(), iconRect.y(), kIconPixels, kIconPixels);
    pIcon->setPixmap(app::AppIcon().pixmap(kIconPixels, kIconPixels));

    auto* pVersion = new QLabel(app::OwnText(pages::kAboutVersion), this);
    pVersion->setTextFormat(Qt::PlainText);
    pVersion->setGeometry(app::MapDialogRect(kVersionRect, units));
    auto* pDate = new QLabel(app::OwnText(pages::kAboutDate), this);
    pDate->setTextFormat(Qt::PlainText);
    pDate->setGeometry(app::MapDialogRect(kDateRect, units));

    auto* pOk = new QPushButton(app::OwnText(pages::kOkText), this);
    pOk->setGeometry(app::MapDialogRect(kOkRect, units));
    pOk->setDefault(true);
    pOk->setAutoDefault(true);
    pOk->setFocus();
    connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
}
