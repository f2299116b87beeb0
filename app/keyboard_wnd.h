// CKeyboardTestWnd: the keyboard test. A window over its owner showing the laptop keyboard;
// every key lights at its first press or release and stays lit, recognised by its scan code,
// and a line counts the keys tested. Every key, Esc, Enter and Alt+F4 included, is a key under
// test: only the window's close button ends it.
#pragma once

#include <QRect>
#include <QWidget>
#include <cstddef>

#include "keyboard/keyboard_state.h"

class CKeyboardTestWnd : public QWidget {
    Q_OBJECT

public:
    // A dialog window over `pParent` (the owner, kept from input while the test is open),
    // fixed in size; it deletes itself when closed.
    explicit CKeyboardTestWnd(QWidget* pParent = nullptr);

    const keyboard::CKeyboardState& State() const { return m_state; }
    // Where keyboard::kLaptopKeys[index] is drawn, in the window's coordinates.
    QRect KeyRect(std::size_t index) const;

protected:
    // Takes every key before shortcuts, focus moves and the dialog keys see it.
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;

private:
    QRect m_keyboardRect;
    QRect m_countRect;
    QRect m_hintRect;
    keyboard::CKeyboardState m_state;
    bool m_bGrabbing = false;
};
