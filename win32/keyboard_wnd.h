// CKeyboardTestWnd: the keyboard test. A window over its owner showing the laptop keyboard;
// every key lights at its first press or release and stays lit, recognised by the scan code of
// its key messages, and a line counts the keys tested. Every key, Esc, Enter, Alt+F4 and F10
// included, is a key under test: only the window's close button ends it. Made by Open and left
// alone: the object deletes itself when its window is destroyed (also when its owner goes
// first).
#pragma once

#include <windows.h>

#include <cstddef>

#include "keyboard/keyboard_state.h"

class CKeyboardTestWnd {
public:
    // Opens the test over `hOwner`, shown, with the owner disabled until it ends (as a modal
    // dialog's owner is). Null when the window could not be made.
    static CKeyboardTestWnd* Open(HWND hOwner);
    CKeyboardTestWnd(const CKeyboardTestWnd&) = delete;
    CKeyboardTestWnd& operator=(const CKeyboardTestWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    const keyboard::CKeyboardState& State() const { return m_state; }
    // Where keyboard::kLaptopKeys[index] is drawn, in client coordinates (empty past the table).
    RECT KeyRect(std::size_t index) const;
    // How many test window objects exist.
    static int LiveCount() { return s_nLiveCount; }

private:
    CKeyboardTestWnd();
    ~CKeyboardTestWnd();
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);
    // Sizes the client area from the font and the screen's DPI.
    void Layout(HDC hDC);
    void OnKey(LPARAM lParam);
    void OnClose();
    void OnPaint();
    void Draw(HDC hDC, const RECT& client) const;

    HWND m_hWnd = nullptr;
    HWND m_hOwner = nullptr;
    HFONT m_hFont = nullptr;  // the owner's, not ours to delete
    HBRUSH m_hLitBrush = nullptr;
    HBRUSH m_hSwallowedBrush = nullptr;
    RECT m_rcHint{};
    RECT m_rcCount{};
    RECT m_rcKeyboard{};
    SIZE m_client{};
    keyboard::CKeyboardState m_state;
    static int s_nLiveCount;
};
