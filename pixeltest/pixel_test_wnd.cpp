#include "pixeltest/pixel_test_wnd.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

CPixelTestWnd::CPixelTestWnd(QWidget* pParent)
    : QDialog(pParent, Qt::Dialog | Qt::FramelessWindowHint) {
    for (int i = 0; i < kColorCount; ++i) {
        const pixeltest::TestColor& c = kColors[static_cast<std::size_t>(i)];
        m_brushes[static_cast<std::size_t>(i)] = QBrush(QColor(c.red, c.green, c.blue));
    }
    setAttribute(Qt::WA_DeleteOnClose);
    // Everything is painted here; no background first, so a colour change does not flash.
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->geometry());
    m_nColorIndex = 0;
}

void CPixelTestWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect all = rect();
    painter.fillRect(all, m_brushes[static_cast<std::size_t>(m_nColorIndex)]);
    // A thin black border around the screen's edge, and inside it the outline of a
    // rectangle drawn from the client origin at full screen size with a black pen: only its
    // top and left edges fall inside, one pixel in from the border.
    painter.setPen(QPen(Qt::black, 0));
    painter.drawRect(all.adjusted(0, 0, -1, -1));
    painter.drawLine(1, 1, all.width() - 2, 1);
    painter.drawLine(1, 1, 1, all.height() - 2);
}

void CPixelTestWnd::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        m_nColorIndex = (m_nColorIndex + 1) % kColorCount;
        update();
    }
    QDialog::mousePressEvent(pEvent);
}

void CPixelTestWnd::keyPressEvent(QKeyEvent* pEvent) {
    // Esc ends the test through the base class (cancel); Enter ends it as the default
    // command would. No other key does anything.
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(pEvent);
}
