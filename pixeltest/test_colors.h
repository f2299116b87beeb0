// The ten colours of the dead-pixel test, in the order a click steps through them. Both
// windows (Qt and Win32) paint these.
#pragma once

#include <array>
#include <cstdint>

namespace pixeltest {

struct TestColor {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

inline constexpr int kColorCount = 10;

// Black, red, green, blue, olive, dark crimson, spring green, soft green, white, slate grey.
inline constexpr std::array<TestColor, kColorCount> kColors = {{
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

}  // namespace pixeltest
