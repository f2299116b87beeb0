#include "app/dialog_units.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include "app/widget_text.h"

namespace {

TEST(MapDialogRect, ScalesEachEdgeAndRounds) {
    // 6 x 12 base units: x * 6 / 4, y * 12 / 8, each edge rounded half away from zero
    // (83 * 1.5 = 124.5 -> 125, (18 + 263) * 1.5 = 421.5 -> 422).
    const app::DialogBaseUnits units{6, 12};
    EXPECT_EQ(app::MapDialogRect(QRect(0, 0, 462, 293), units), QRect(0, 0, 693, 440));
    EXPECT_EQ(app::MapDialogRect(QRect(7, 7, 69, 278), units), QRect(11, 11, 103, 417));
    EXPECT_EQ(app::MapDialogRect(QRect(79, 7, 377, 278), units), QRect(119, 11, 565, 417));
    EXPECT_EQ(app::MapDialogRect(QRect(83, 18, 369, 263), units), QRect(125, 27, 553, 395));
    // 7 x 14: 79 * 7 / 4 = 138.25 -> 138, (79 + 377) * 7 / 4 = 798.
    EXPECT_EQ(app::MapDialogRect(QRect(79, 7, 377, 278), {7, 14}), QRect(138, 12, 660, 487));
    EXPECT_EQ(app::MapDialogRect(QRect(0, 0, 0, 0), units), QRect(0, 0, 0, 0));
}

TEST(DialogFont, ChineseIsExactlyTwoAsciiColumns) {
    const QFont font = app::DialogFont();
    const QFontInfo info(font);
    const QFontMetrics metrics(font);
    const int ascii = metrics.horizontalAdvance(QLatin1Char('M'));
    ASSERT_GT(ascii, 0) << info.family().toStdString();
    for (char c = ' '; c <= '~'; ++c) {
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char(c)), ascii) << c;
    }
    for (const QString& chinese : {QStringLiteral("："), QStringLiteral("电"), QStringLiteral("号"),
                                   QStringLiteral("（"), QStringLiteral("摄")}) {
        EXPECT_EQ(metrics.horizontalAdvance(chinese), 2 * ascii) << chinese.toStdString();
    }
    // A label is twelve columns whatever mix it holds.
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("电池唯一ID号")), 12 * ascii);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("BIOS大小    ")), 12 * ascii);

    const app::DialogBaseUnits units = app::BaseUnitsOf(font);
    EXPECT_EQ(units.nCharWidth, ascii);
    EXPECT_EQ(units.nCharHeight, metrics.height());
}

TEST(WidgetText, GbkWithCrLfBecomesLines) {
    EXPECT_EQ(app::ToWidgetText("\xB5\xE7\xB3\xD8\r\nA\r\n"), QStringLiteral("电池\nA\n"));
    EXPECT_EQ(app::ToWidgetText(""), QString());
    // A cut-off character shows as "?" rather than vanishing or swallowing what follows.
    EXPECT_EQ(app::ToWidgetText("AB\xB5"), QStringLiteral("AB?"));
    EXPECT_EQ(app::OwnText("关于Quorrix(&A)..."), QStringLiteral("关于Quorrix(&A)..."));
    // Characters outside GBK are outside the program's text too.
    EXPECT_EQ(app::OwnText("x😀"), QStringLiteral("x?"));
}

}  // namespace
