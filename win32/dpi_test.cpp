// The main dialog on a scaled screen: laid out from its template at the screen's DPI, so at
// 144 DPI (150 %) one and a half times its size at 96. These runs stand a face of SimSun's
// metrics in for it (scripts/windows/wine-gui-exe with QUORRIX_WINE_DPI), whose 9 points are
// 6 by 12 pixels a character at 96 DPI: one dialog unit is 1.5 pixels either way.
#include <gtest/gtest.h>

#include <cstdlib>

#include "win32/dialog_test_fixture.h"

namespace wintest {
namespace {

TEST_F(DialogTest, ScaledWithTheScreensDpi) {
    const char* asked = std::getenv("QUORRIX_EXPECT_DPI");
    if (asked == nullptr) GTEST_SKIP() << "no DPI asked for";
    const int dpi = std::atoi(asked);

    HDC hDC = GetDC(hDlg);
    const int screenDpi = GetDeviceCaps(hDC, LOGPIXELSY);
    HGDIOBJ hOld = SelectObject(hDC, reinterpret_cast<HFONT>(SendMessageW(hDlg, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(hDC, &metrics);
    SelectObject(hDC, hOld);
    ReleaseDC(hDlg, hDC);
    ASSERT_EQ(screenDpi, dpi) << "the run is at the DPI it was asked for";
    ASSERT_EQ(metrics.tmHeight, MulDiv(12, dpi, 96)) << "the dialog's font has SimSun's metrics";

    // The template's rectangles in dialog units, and where each is drawn.
    const auto placed = [this](HWND hControl) {
        RECT r{};
        GetWindowRect(hControl, &r);
        MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    RECT client{};
    GetClientRect(hDlg, &client);
    const struct {
        const char* what;
        RECT units;
        RECT drawn;
    } cases[] = {
        {"dialog", {0, 0, 462, 293}, client},
        {"list", {7, 7, 76, 285}, placed(hList)},
        {"frame", {79, 7, 456, 285}, placed(hFrame)},
        {"pane", {83, 18, 452, 281}, placed(hPane)},
    };
    // Every edge 1.5 dialog units a pixel at 96 DPI, times the scale; within the pixel that
    // rounding the units (origin and size each on its own) may cost.
    const double pixelsPerUnit = 1.5 * dpi / 96;
    for (const auto& c : cases) {
        const LONG want[] = {c.units.left, c.units.top, c.units.right, c.units.bottom};
        const LONG got[] = {c.drawn.left, c.drawn.top, c.drawn.right, c.drawn.bottom};
        for (int edge = 0; edge < 4; ++edge) {
            EXPECT_NEAR(got[edge], want[edge] * pixelsPerUnit, 1.0)
                << c.what << " edge " << edge << " at " << dpi << " DPI";
        }
    }
}

}  // namespace
}  // namespace wintest
