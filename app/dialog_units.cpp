#include "app/dialog_units.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <cmath>

namespace app {
namespace {

constexpr double kPointSize = 9.0;

// a * b / c rounded half away from zero, in 64 bits (MulDiv).
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei Mono"),
                      QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::TypeWriter);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    // 12 pixels at 96 dpi; elsewhere the even size nearest to 9 point.
    int pixels = static_cast<int>(std::lround(kPointSize * dpi / 72.0 / 2.0)) * 2;
    font.setPixelSize(pixels < 8 ? 8 : pixels);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(const QRect& dlu, const DialogBaseUnits& units) {
    const int left = MulDiv(dlu.x(), units.nCharWidth, 4);
    const int top = MulDiv(dlu.y(), units.nCharHeight, 8);
    const int right = MulDiv(dlu.x() + dlu.width(), units.nCharWidth, 4);
    const int bottom = MulDiv(dlu.y() + dlu.height(), units.nCharHeight, 8);
    return QRect(left, top, right - left, bottom - top);
}

}  // namespace app
