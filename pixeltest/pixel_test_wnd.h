// CPixelTestWnd: the dead-pixel test. One solid colour over every pixel of the monitor its
// owner is on, without the mouse pointer; each left click moves on to the next of ten
// colours; Esc or Enter ends the test.
#pragma once

#include <QBrush>
#include <QDialog>
#include <array>

#include "pixeltest/test_colors.h"

class CPixelTestWnd : public QDialog {
    Q_OBJECT

public:
    static constexpr int kColorCount = pixeltest::kColorCount;
    static constexpr const auto& kColors = pixeltest::kColors;

    // A frameless window over the owner's monitor (the primary one without an owner),
    // starting at black. With a parent it is
    // owned by it (stays above it, goes with it); it deletes itself when it ends.
    explicit CPixelTestWnd(QWidget* pParent = nullptr);

    // The index into kColors of the colour shown, 0 to 9.
    int ColorIndex() const { return m_nColorIndex; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    int m_nColorIndex = 0;
    std::array<QBrush, kColorCount> m_brushes;
};
