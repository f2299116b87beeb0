#include "app/keyboard_wnd.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "app/dialog_units.h"
#include "app/widget_text.h"
#include "keyboard/keyboard_geometry.h"
#include "text/gbk.h"

namespace {

const QColor kLitFill(46, 160, 67);
const QColor kSwallowedFill(205, 205, 205);

}  // namespace

CKeyboardTestWnd::CKeyboardTestWnd(QWidget* pParent)
    : QWidget(pParent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setFocusPolicy(Qt::StrongFocus);
    setFont(app::DialogFont());
    setWindowTitle(app::OwnText(keyboard::kTitle));
    // Keys about two and a half lines of text high, as a laptop's keys are to its labels.
    const int line = fontMetrics().height();
    const int key = std::max(36, line * 5 / 2);
    const int margin = key / 3;
    const int width = 15 * key;
    m_hintRect = QRect(margin, margin, width, line);
    m_countRect = QRect(margin, m_hintRect.bottom() + 1 + line / 2, width, line);
    m_keyboardRect =
        QRect(margin, m_countRect.bottom() + 1 + margin, width, keyboard::KeyboardHeight(width));
    setFixedSize(width + 2 * margin, m_keyboardRect.bottom() + 1 + margin);
}

QRect CKeyboardTestWnd::KeyRect(std::size_t index) const {
    const std::vector<keyboard::KeyRect> rects = keyboard::KeyRects(m_keyboardRect.width());
    if (index >= rects.size()) return {};
    const keyboard::KeyRect& r = rects[index];
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1))
        .translated(m_keyboardRect.topLeft());
}

bool CKeyboardTestWnd::event(QEvent* pEvent) {
    switch (pEvent->type()) {
        case QEvent::ShortcutOverride:
            // Claimed, so no shortcut of the application acts on it.
            pEvent->accept();
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            // Some keys reach a program only as their release (PrtSc where the system takes
            // its press), so either lights the key.
            const auto* pKey = static_cast<QKeyEvent*>(pEvent);
            if (m_state.PressEvdev(keyboard::EvdevFromXkbKeycode(pKey->nativeScanCode()))) {
                update();
            }
            pEvent->accept();
            return true;
        }
        default:
            return QWidget::event(pEvent);
    }
}

void CKeyboardTestWnd::changeEvent(QEvent* pEvent) {
    // While the test is the active window, on X11 it takes the keyboard from the window
    // manager too, so that Alt+F4, Alt+Tab and the Super key reach it as keys under test.
    if (pEvent->type() == QEvent::ActivationChange &&
        QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (isActiveWindow() && !m_bGrabbing) {
            grabKeyboard();
            m_bGrabbing = true;
        } else if (!isActiveWindow() && m_bGrabbing) {
            releaseKeyboard();
            m_bGrabbing = false;
        }
    }
    QWidget::changeEvent(pEvent);
}

void CKeyboardTestWnd::hideEvent(QHideEvent* pEvent) {
    if (m_bGrabbing) releaseKeyboard();
    m_bGrabbing = false;
    QWidget::hideEvent(pEvent);
}

void CKeyboardTestWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().windowText().color());
    painter.drawText(m_hintRect, Qt::AlignLeft | Qt::AlignVCenter, app::OwnText(keyboard::kHint));
    painter.drawText(m_countRect, Qt::AlignLeft | Qt::AlignVCenter,
                     app::ToWidgetText(m_state.CountText()));
    const QColor border = palette().mid().color();
    for (std::size_t i = 0; i < keyboard::kLaptopKeys.size(); ++i) {
        const keyboard::Key& key = keyboard::kLaptopKeys[i];
        const QRect r = KeyRect(i);
        QColor fill = palette().base().color();
        QColor label = palette().text().color();
        if (!keyboard::Countable(key)) {
            fill = kSwallowedFill;
            label = palette().mid().color();
        } else if (m_state.Lit(i)) {
            fill = kLitFill;
            label = Qt::white;
        }
        painter.fillRect(r, fill);
        painter.setPen(border);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.setPen(label);
        painter.drawText(r, Qt::AlignCenter,
                         QString::fromUtf8(key.label.data(), static_cast<int>(key.label.size())));
    }
}
