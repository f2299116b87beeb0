#include "keyboard/keyboard_geometry.h"

#include <algorithm>

#include "keyboard/keyboard_layout.h"

namespace keyboard {
namespace {

// The pixel a quarter-key position falls on. Neighbours share their edge, so rounding never
// opens a wider gap or makes an overlap.
int Edge(int quarters, int widthPx) {
    return quarters * widthPx / kLayoutWidth;
}

}  // namespace

int KeyboardHeight(int widthPx) {
    return Edge(kLayoutHeight, widthPx);
}

std::vector<KeyRect> KeyRects(int widthPx) {
    // A half-height key must keep at least a pixel inside its gaps.
    if (widthPx < 4 * kLayoutWidth) return {};
    const int gap = std::max(1, widthPx / 300);
    std::vector<KeyRect> rects;
    rects.reserve(kLaptopKeys.size());
    for (const Key& key : kLaptopKeys) {
        rects.push_back({Edge(key.x, widthPx) + gap, Edge(key.y, widthPx) + gap,
                         Edge(key.x + key.w, widthPx) - gap, Edge(key.y + key.h, widthPx) - gap});
    }
    return rects;
}

}  // namespace keyboard
