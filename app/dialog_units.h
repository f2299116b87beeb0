// Dialog units: sizes given in quarters of the dialog font's average character width and
// eighths of its height, so that the window grows with its font as the layout intends.
#pragma once

#include <QFont>
#include <QRect>

namespace app {

struct DialogBaseUnits {
    int nCharWidth = 0;   // average width of the 52 Latin letters, rounded
    int nCharHeight = 0;  // ascent + descent
};

// The font of the main dialog, its controls and the about box: a CJK face whose ASCII
// characters are exactly half as wide as its Chinese ones, so that page labels line up;
// 9 point, taken at an even pixel size so that the half stays a whole pixel.
QFont DialogFont();

// The base units of `font`.
DialogBaseUnits BaseUnitsOf(const QFont& font);

// A rectangle in dialog units as pixels: each edge is scaled on its own and rounded, as the
// platform's MapDialogRect does (so widths can differ by one from a scaled width).
QRect MapDialogRect(const QRect& dlu, const DialogBaseUnits& units);

}  // namespace app
