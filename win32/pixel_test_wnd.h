// CPixelTestWnd: the dead-pixel test (template 131). One solid colour over every pixel of the
// monitor its owner is on, without the mouse pointer; each left click moves on to the next of the
// ten test colours; Esc or Enter ends the test. Made with new and left alone: the object deletes
// itself, brushes and all, when its window is destroyed (also when its owner goes first).
#pragma once

#include <array>

#include "pixeltest/test_colors.h"
#include "win32/dialog_base.h"

class CPixelTestWnd : public CDialogBase {
public:
    CPixelTestWnd();
    ~CPixelTestWnd() override;

    // The index into pixeltest::kColors of the colour shown, 0 to 9.
    int ColorIndex() const { return m_nColorIndex; }
    // How many test window objects exist (each frees itself when its window goes).
    static int LiveCount() { return s_nLiveCount; }
    // The whole of the monitor `hWnd` is on (the primary one when it is on none).
    static RECT MonitorRect(HWND hWnd);

protected:
    INT_PTR OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void PostNcDestroy() override { delete this; }

private:
    void OnLButtonDown();
    void OnPaint();
    // Fills the client area with the current colour.
    void Fill(HDC hDC) const;

    int m_nColorIndex = 0;
    bool m_bCursorHidden = false;
    std::array<HBRUSH, pixeltest::kColorCount> m_brushes{};
    static int s_nLiveCount;
};
