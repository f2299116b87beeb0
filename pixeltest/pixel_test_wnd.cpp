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
    // The monitor the owner is on (a laptop's own panel beside an external primary monitor).
    const QScreen* screen = pParent != nullptr ? pParent->screen() : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) setGeometry(screen->geometry());
    // The pointer would hide the pixels under it; it comes back when the window goes.
    setCursor(Qt::BlankCursor);
    m_nColorIndex = 0;
}

void CPixelTestWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect all = rect();
    // Nothing but the colour, up to the last row and column: a dead pixel at the panel's
    // edge must show too.
    painter.fillRect(all, m_brushes[static_cast<std::size_t>(m_nColorIndex)]);
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
