// The pages as drawn: every label's "：" must land in the same pixel column, which holds only
// if the pane's font draws each Chinese character exactly two ASCII columns wide.
#include <QFontMetrics>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include "app/quorrix_dlg.h"
#include "tests/support/sample_machine.h"

namespace {

// Pixels clearly darker than the pane's background: the glyph's ink.
int Ink(const QImage& cell) {
    int ink = 0;
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x) ink += qGray(cell.pixel(x, y)) < 128 ? 1 : 0;
    }
    return ink;
}

TEST(PagePixels, EveryColonOfEveryPageInOnePixelColumn) {
    testsupport::CSampleMachine machine;
    CQuorrixDlg dlg(machine.Seams(), [](std::string_view, std::string_view) {});
    auto* list = dlg.findChild<QListWidget*>();
    auto* pane = dlg.findChild<QPlainTextEdit*>();
    ASSERT_TRUE(list && pane);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    const int ascii = QFontMetrics(pane->font()).horizontalAdvance(QLatin1Char('M'));
    const QString colon = QStringLiteral("：");

    for (int row = 0; row < 7; ++row) {
        list->setCurrentRow(row);
        dlg.OnCategoryDblClk();
        QCoreApplication::processEvents();
        const QImage shot =
            pane->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);

        int lines = 0;
        int column = -1;
        QImage reference;
        for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next()) {
            const int at = static_cast<int>(block.text().indexOf(colon));
            if (at < 0) continue;
            QTextCursor cursor(block);
            const QRect lineStart = pane->cursorRect(cursor);
            cursor.setPosition(block.position() + at);
            const QRect r = pane->cursorRect(cursor);
            if (r.bottom() >= shot.height()) break;  // below the visible part
            // Twelve ASCII columns of label in front of it, on every line.
            EXPECT_EQ(r.x() - lineStart.x(), 12 * ascii)
                << "page " << row << ": " << block.text().toStdString();
            if (column < 0) column = r.x();
            EXPECT_EQ(r.x(), column) << "page " << row << ": " << block.text().toStdString();

            // The pixels: the colon's cell looks the same on every line.
            const QImage cell = shot.copy(column, r.y(), 2 * ascii, r.height());
            EXPECT_GT(Ink(cell), 0) << "page " << row << ": nothing drawn at the colon";
            if (reference.isNull()) {
                reference = cell;
                // A cell one pixel off would not pass for it.
                EXPECT_NE(shot.copy(column + 1, r.y(), 2 * ascii, r.height()), reference);
            } else {
                EXPECT_EQ(cell, reference) << "page " << row << ": " << block.text().toStdString();
            }
            ++lines;
        }
        EXPECT_GE(lines, 4) << "page " << row;
    }
}

}  // namespace
