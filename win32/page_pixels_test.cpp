// The pages as drawn: every label's "：" must land in the same pixel column, which holds only
// if the pane's font draws each Chinese character exactly two ASCII columns wide.
#include <gtest/gtest.h>

#include "pages/page_dispatch.h"
#include "win32/dialog_test_fixture.h"

namespace wintest {
namespace {

// Pixels clearly darker than the pane's background: the glyph's ink.
int Ink(const Pixels& cell) {
    int ink = 0;
    for (COLORREF c : cell.values) {
        ink += (GetRValue(c) + GetGValue(c) + GetBValue(c)) < 3 * 128 ? 1 : 0;
    }
    return ink;
}

TEST_F(DialogTest, EveryColonOfEveryPageInOnePixelColumn) {
    // The width of one ASCII column in the pane's font.
    HDC hDC = GetDC(hPane);
    HGDIOBJ hOld =
        SelectObject(hDC, reinterpret_cast<HFONT>(SendMessageW(hPane, WM_GETFONT, 0, 0)));
    SIZE m{};
    GetTextExtentPoint32W(hDC, L"M", 1, &m);
    TEXTMETRICW metrics{};
    GetTextMetricsW(hDC, &metrics);
    SelectObject(hDC, hOld);
    ReleaseDC(hPane, hDC);
    const int ascii = m.cx;
    const int lineHeight = metrics.tmHeight;
    ASSERT_GT(ascii, 0);
    RECT client{};
    GetClientRect(hPane, &client);

    for (int row = 0; row < pages::kTextPageCount; ++row) {
        NotifyDoubleClick(row);
        RedrawWindow(hPane, nullptr, nullptr, RDW_UPDATENOW);
        const Pixels shot = CaptureClient(hPane, client);
        const std::wstring text = TextOf(hPane);

        int lines = 0;
        int column = -1;
        Pixels reference;
        const int count = static_cast<int>(SendMessageW(hPane, EM_GETLINECOUNT, 0, 0));
        for (int line = 0; line < count; ++line) {
            const int start = static_cast<int>(SendMessageW(hPane, EM_LINEINDEX, line, 0));
            const int length = static_cast<int>(SendMessageW(hPane, EM_LINELENGTH, start, 0));
            const std::wstring_view shown(text.data() + start, static_cast<std::size_t>(length));
            const auto at = shown.find(L'：');
            if (at == std::wstring_view::npos) continue;
            const LRESULT lineStart = SendMessageW(hPane, EM_POSFROMCHAR, start, 0);
            const LRESULT colonAt = SendMessageW(
                hPane, EM_POSFROMCHAR, static_cast<WPARAM>(start + static_cast<int>(at)), 0);
            const int x0 = static_cast<short>(LOWORD(lineStart));
            const int x = static_cast<short>(LOWORD(colonAt));
            const int y = static_cast<short>(HIWORD(colonAt));
            if (y + lineHeight > client.bottom) break;  // below the visible part
            const std::string label = win32::WideToUtf8(shown);
            // Twelve ASCII columns of label in front of it, on every line.
            EXPECT_EQ(x - x0, 12 * ascii) << "page " << row << ": " << label;
            if (column < 0) column = x;
            EXPECT_EQ(x, column) << "page " << row << ": " << label;

            // The pixels: the colon's cell looks the same on every line.
            const Pixels cell = shot.Crop(column, y, 2 * ascii, lineHeight);
            EXPECT_GT(Ink(cell), 0) << "page " << row << ": nothing drawn at the colon";
            if (reference.values.empty()) {
                reference = cell;
                // A cell one pixel off would not pass for it.
                EXPECT_NE(shot.Crop(column + 1, y, 2 * ascii, lineHeight), reference);
            } else {
                EXPECT_EQ(cell, reference) << "page " << row << ": " << label;
            }
            ++lines;
        }
        EXPECT_GE(lines, 4) << "page " << row;
    }
}

}  // namespace
}  // namespace wintest
