// CPixelTestWnd: the dead-pixel test. One solid colour over the whole primary screen; each
// left click moves on to the next of ten colours; Esc or Enter ends the test.
#pragma once

#include <QBrush>
#include <QDialog>
#include <array>
#include <cstdint>

struct TestColor {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

class CPixelTestWnd : public QDialog {
    Q_OBJECT

public:
    static constexpr int kColorCount = 10;
    // Black, red, green, blue, olive, dark crimson, spring green, soft green, white, slate grey.
    static constexpr std::array<TestColor, kColorCount> kColors = {{
        {0, 0, 0},
        {255, 0, 0},
        {0, 255, 0},
        {0, 0, 255},
        {123, 123, 10},
        {123, 0, 60},
        {0, 233, 123},
        {103, 200, 111},
        {255, 255, 255},
        {60, 80, 90},
    }};

    // A frameless window over the primary screen, starting at black. With a parent it is
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
