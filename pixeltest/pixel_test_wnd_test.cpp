#include "pixeltest/pixel_test_wnd.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

QColor TableColor(int index) {
    const pixeltest::TestColor& c = CPixelTestWnd::kColors[static_cast<std::size_t>(index)];
    return QColor(c.red, c.green, c.blue);
}

// The colour at the middle of the window as painted, and how many pixels of its two outermost
// rows and columns on every side (the four corners included) differ from it.
struct Painted {
    QColor middle;
    int edgePixelsOff = 0;
};

Painted Paint(CPixelTestWnd& wnd) {
    const QImage image = wnd.grab().toImage();
    const int w = image.width();
    const int h = image.height();
    Painted p{image.pixelColor(w / 2, h / 2)};
    for (int ring = 0; ring < 2; ++ring) {
        for (int x = 0; x < w; ++x) {
            p.edgePixelsOff += image.pixelColor(x, ring) != p.middle;
            p.edgePixelsOff += image.pixelColor(x, h - 1 - ring) != p.middle;
        }
        for (int y = 0; y < h; ++y) {
            p.edgePixelsOff += image.pixelColor(ring, y) != p.middle;
            p.edgePixelsOff += image.pixelColor(w - 1 - ring, y) != p.middle;
        }
    }
    return p;
}

void SendKey(CPixelTestWnd& wnd, Qt::Key key) {
    QTest::keyClick(&wnd, key);
}

TEST(CPixelTestWnd, CoversThePrimaryScreenFramelessAndStartsBlack) {
    QPointer<CPixelTestWnd> wnd = new CPixelTestWnd;
    wnd->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd));
    EXPECT_EQ(wnd->geometry(), QGuiApplication::primaryScreen()->geometry());
    EXPECT_TRUE(wnd->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(wnd->testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(wnd->cursor().shape(), Qt::BlankCursor) << "no pointer over the pixels";
    EXPECT_EQ(wnd->ColorIndex(), 0);
    const Painted p = Paint(*wnd);
    EXPECT_EQ(p.middle, QColor(0, 0, 0));
    wnd->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(wnd.isNull());
}

TEST(CPixelTestWnd, LeftClicksCycleTheTenColoursOthersDoNothing) {
    QPointer<CPixelTestWnd> wnd = new CPixelTestWnd;
    wnd->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd));
    const QPoint somewhere(wnd->width() / 3, wnd->height() / 4);
    for (int click = 1; click <= 11; ++click) {
        QTest::mouseClick(wnd, Qt::LeftButton, Qt::NoModifier, somewhere);
        const int expected = click % CPixelTestWnd::kColorCount;
        EXPECT_EQ(wnd->ColorIndex(), expected) << "after click " << click;
        const Painted p = Paint(*wnd);
        EXPECT_EQ(p.middle, TableColor(expected)) << "after click " << click;
        // Every pixel of the edges shows the colour: no frame, no outline.
        EXPECT_EQ(p.edgePixelsOff, 0) << "after click " << click;
    }
    // Ten clicks came back to black, the eleventh showed red.
    EXPECT_EQ(Paint(*wnd).middle, QColor(255, 0, 0));

    QTest::mouseClick(wnd, Qt::RightButton, Qt::NoModifier, somewhere);
    QTest::mouseClick(wnd, Qt::MiddleButton, Qt::NoModifier, somewhere);
    QTest::mouseMove(wnd, QPoint(10, 10));
    for (Qt::Key key :
         {Qt::Key_A, Qt::Key_5, Qt::Key_Down, Qt::Key_Right, Qt::Key_Space, Qt::Key_Tab}) {
        SendKey(*wnd, key);
    }
    ASSERT_FALSE(wnd.isNull());
    EXPECT_TRUE(wnd->isVisible());
    EXPECT_EQ(wnd->ColorIndex(), 1);
    EXPECT_EQ(Paint(*wnd).middle, QColor(255, 0, 0));

    // A repaint (the window covered and uncovered) shows the current colour, not the first.
    wnd->hide();
    wnd->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd));
    EXPECT_EQ(Paint(*wnd).middle, QColor(255, 0, 0));

    // A double-click, as the window system delivers it, is two presses.
    QTest::mouseDClick(wnd->windowHandle(), Qt::LeftButton, Qt::NoModifier, somewhere);
    EXPECT_EQ(wnd->ColorIndex(), 3);
    delete wnd;
}

TEST(CPixelTestWnd, EscOrEnterEndsAndReleasesIt) {
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QPointer<CPixelTestWnd> wnd = new CPixelTestWnd;
        wnd->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd));
        QTest::mouseClick(wnd, Qt::LeftButton);
        SendKey(*wnd, key);
        EXPECT_FALSE(wnd && wnd->isVisible()) << key;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(wnd.isNull()) << key;
    }
}

TEST(CPixelTestWnd, OwnedByItsParentAndGoesWithIt) {
    auto* owner = new QWidget;
    owner->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(owner));
    QPointer<CPixelTestWnd> wnd = new CPixelTestWnd(owner);
    wnd->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wnd));
    EXPECT_TRUE(wnd->isWindow());
    EXPECT_EQ(wnd->parentWidget(), owner);
    ASSERT_TRUE(wnd->windowHandle());
    EXPECT_EQ(wnd->windowHandle()->transientParent(), owner->windowHandle());
    EXPECT_FALSE(wnd->windowFlags() & Qt::WindowStaysOnTopHint);
    delete owner;
    EXPECT_TRUE(wnd.isNull());
}

}  // namespace
