// Where each key of kLaptopKeys is drawn, for a keyboard of a given width in pixels.
#pragma once

#include <vector>

namespace keyboard {

struct KeyRect {
    int left = 0;
    int top = 0;
    int right = 0;  // exclusive
    int bottom = 0;
};

// The height in pixels of a keyboard `widthPx` wide (keys are square).
int KeyboardHeight(int widthPx);
// One rectangle per entry of kLaptopKeys, in table order, relative to the keyboard's top-left
// corner, with a gap between neighbours; empty for a width too small to draw every key.
std::vector<KeyRect> KeyRects(int widthPx);

}  // namespace keyboard
