#include "keyboard/keyboard_layout.h"

#include <algorithm>

namespace keyboard {
namespace {

constexpr Key K(std::string_view label, int x, int y, int w, std::uint16_t set1,
                std::uint16_t evdev, int h = kUnit) {
    return Key{label,
               static_cast<std::uint8_t>(x),
               static_cast<std::uint8_t>(y),
               static_cast<std::uint8_t>(w),
               static_cast<std::uint8_t>(h),
               set1,
               evdev};
}

constexpr std::uint16_t E0(std::uint16_t code) {
    return static_cast<std::uint16_t>(kExtended | code);
}

}  // namespace

// Set-1 codes from the PC keyboard's scan code set 1 (Microsoft, "Keyboard Scan Code
// Specification", annex "Scan Code Tables"); input event codes from linux/input-event-codes.h.
// Below 0x59 a key without E0 has the same number in both.
const std::array<Key, kKeyCount> kLaptopKeys = {
    // Esc, F1-F12, then what laptops put at the end of that row.
    K("Esc", 0, 0, 4, 0x01, 1),
    K("F1", 4, 0, 4, 0x3B, 59),
    K("F2", 8, 0, 4, 0x3C, 60),
    K("F3", 12, 0, 4, 0x3D, 61),
    K("F4", 16, 0, 4, 0x3E, 62),
    K("F5", 20, 0, 4, 0x3F, 63),
    K("F6", 24, 0, 4, 0x40, 64),
    K("F7", 28, 0, 4, 0x41, 65),
    K("F8", 32, 0, 4, 0x42, 66),
    K("F9", 36, 0, 4, 0x43, 67),
    K("F10", 40, 0, 4, 0x44, 68),
    K("F11", 44, 0, 4, 0x57, 87),
    K("F12", 48, 0, 4, 0x58, 88),
    K("PrtSc", 52, 0, 4, E0(0x37), 99),  // KEY_SYSRQ
    K("Del", 56, 0, 4, E0(0x53), 111),
    // The number row.
    K("`", 0, 4, 4, 0x29, 41),
    K("1", 4, 4, 4, 0x02, 2),
    K("2", 8, 4, 4, 0x03, 3),
    K("3", 12, 4, 4, 0x04, 4),
    K("4", 16, 4, 4, 0x05, 5),
    K("5", 20, 4, 4, 0x06, 6),
    K("6", 24, 4, 4, 0x07, 7),
    K("7", 28, 4, 4, 0x08, 8),
    K("8", 32, 4, 4, 0x09, 9),
    K("9", 36, 4, 4, 0x0A, 10),
    K("0", 40, 4, 4, 0x0B, 11),
    K("-", 44, 4, 4, 0x0C, 12),
    K("=", 48, 4, 4, 0x0D, 13),
    K("Backspace", 52, 4, 8, 0x0E, 14),
    // Tab row.
    K("Tab", 0, 8, 6, 0x0F, 15),
    K("Q", 6, 8, 4, 0x10, 16),
    K("W", 10, 8, 4, 0x11, 17),
    K("E", 14, 8, 4, 0x12, 18),
    K("R", 18, 8, 4, 0x13, 19),
    K("T", 22, 8, 4, 0x14, 20),
    K("Y", 26, 8, 4, 0x15, 21),
    K("U", 30, 8, 4, 0x16, 22),
    K("I", 34, 8, 4, 0x17, 23),
    K("O", 38, 8, 4, 0x18, 24),
    K("P", 42, 8, 4, 0x19, 25),
    K("[", 46, 8, 4, 0x1A, 26),
    K("]", 50, 8, 4, 0x1B, 27),
    K("\\", 54, 8, 6, 0x2B, 43),
    // Caps Lock row.
    K("Caps", 0, 12, 7, 0x3A, 58),
    K("A", 7, 12, 4, 0x1E, 30),
    K("S", 11, 12, 4, 0x1F, 31),
    K("D", 15, 12, 4, 0x20, 32),
    K("F", 19, 12, 4, 0x21, 33),
    K("G", 23, 12, 4, 0x22, 34),
    K("H", 27, 12, 4, 0x23, 35),
    K("J", 31, 12, 4, 0x24, 36),
    K("K", 35, 12, 4, 0x25, 37),
    K("L", 39, 12, 4, 0x26, 38),
    K(";", 43, 12, 4, 0x27, 39),
    K("'", 47, 12, 4, 0x28, 40),
    K("Enter", 51, 12, 9, 0x1C, 28),
    // Shift row.
    K("Shift", 0, 16, 9, 0x2A, 42),
    K("Z", 9, 16, 4, 0x2C, 44),
    K("X", 13, 16, 4, 0x2D, 45),
    K("C", 17, 16, 4, 0x2E, 46),
    K("V", 21, 16, 4, 0x2F, 47),
    K("B", 25, 16, 4, 0x30, 48),
    K("N", 29, 16, 4, 0x31, 49),
    K("M", 33, 16, 4, 0x32, 50),
    K(",", 37, 16, 4, 0x33, 51),
    K(".", 41, 16, 4, 0x34, 52),
    K("/", 45, 16, 4, 0x35, 53),
    K("Shift", 49, 16, 11, 0x36, 54),
    // The bottom row; the arrows as an inverted T, Up and Down half as high.
    K("Ctrl", 0, 20, 4, 0x1D, 29),
    K("Fn", 4, 20, 4, 0, 0),  // handled by the keyboard's own controller: no code leaves it
    K("Win", 8, 20, 4, E0(0x5B), 125),  // KEY_LEFTMETA
    K("Alt", 12, 20, 4, 0x38, 56),
    K("Space", 16, 20, 20, 0x39, 57),
    K("Alt", 36, 20, 4, E0(0x38), 100),
    K("Menu", 40, 20, 4, E0(0x5D), 127),  // KEY_COMPOSE
    K("Ctrl", 44, 20, 4, E0(0x1D), 97),
    K("←", 48, 22, 4, E0(0x4B), 105, 2),
    K("↑", 52, 20, 4, E0(0x48), 103, 2),
    K("↓", 52, 22, 4, E0(0x50), 108, 2),
    K("→", 56, 22, 4, E0(0x4D), 106, 2),
};

std::size_t CountableKeyCount() {
    return static_cast<std::size_t>(
        std::count_if(kLaptopKeys.begin(), kLaptopKeys.end(), Countable));
}

namespace {

template <typename Field>
std::optional<std::size_t> FindKey(std::uint16_t code, Field field) {
    if (code == 0) return std::nullopt;
    for (std::size_t i = 0; i < kLaptopKeys.size(); ++i) {
        if (Countable(kLaptopKeys[i]) && kLaptopKeys[i].*field == code) return i;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::size_t> KeyOfSet1(std::uint16_t set1) {
    return FindKey(set1, &Key::set1);
}

std::optional<std::size_t> KeyOfEvdev(std::uint16_t evdev) {
    return FindKey(evdev, &Key::evdev);
}

std::uint16_t Set1FromKeyMessage(std::uint32_t lParam) {
    const auto code = static_cast<std::uint16_t>((lParam >> 16) & 0xFF);
    const bool extended = ((lParam >> 24) & 1) != 0;
    return extended ? static_cast<std::uint16_t>(kExtended | code) : code;
}

std::uint16_t EvdevFromXkbKeycode(std::uint32_t xkbKeycode) {
    // XKB key codes are evdev codes moved up by 8, X11's lowest key code; evdev codes are
    // below 0x300 (KEY_MAX).
    if (xkbKeycode < 8 || xkbKeycode - 8 > 0x2FF) return 0;
    return static_cast<std::uint16_t>(xkbKeycode - 8);
}

}  // namespace keyboard
