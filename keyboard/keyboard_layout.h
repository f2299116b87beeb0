// The keyboard the keyboard test draws: the common laptop layout (US, as Chinese laptops have
// it), one entry a key, each recognised by the code of the key's place on the keyboard rather
// than by the character it types, so the system's keyboard layout does not matter.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace keyboard {

// Places and sizes are in quarters of a key: a plain key is 4 x 4.
inline constexpr int kUnit = 4;
// The whole keyboard: six rows of fifteen keys' width.
inline constexpr int kLayoutWidth = 15 * kUnit;
inline constexpr int kLayoutHeight = 6 * kUnit;

// The flag added to an extended key's PC set-1 make code (the keys whose code the keyboard
// sends after an E0 prefix byte).
inline constexpr std::uint16_t kExtended = 0xE000;

struct Key {
    std::string_view label;  // UTF-8
    std::uint8_t x = 0;      // quarters of a key, from the top-left corner
    std::uint8_t y = 0;
    std::uint8_t w = kUnit;
    std::uint8_t h = kUnit;
    // The PC set-1 make code, with kExtended for an E0 key: what Windows gives in a key
    // message's lParam (bits 16-23, and bit 24 for E0). 0: the key sends none.
    std::uint16_t set1 = 0;
    // The Linux input event code (linux/input-event-codes.h). 0: the key sends none.
    std::uint16_t evdev = 0;
};

inline constexpr std::size_t kKeyCount = 80;
extern const std::array<Key, kKeyCount> kLaptopKeys;

// Whether a key is tested: the keys the firmware or the system keeps to itself (Fn) send no
// code to any program; they are drawn, but can neither light nor count.
constexpr bool Countable(const Key& key) {
    return key.set1 != 0 && key.evdev != 0;
}
// How many keys of kLaptopKeys are tested.
std::size_t CountableKeyCount();

// The index into kLaptopKeys of the key with this code; nullopt for 0 or a code no key of the
// table sends.
std::optional<std::size_t> KeyOfSet1(std::uint16_t set1);
std::optional<std::size_t> KeyOfEvdev(std::uint16_t evdev);

// The set-1 code of a WM_KEYDOWN/WM_KEYUP/WM_SYSKEYDOWN/WM_SYSKEYUP lParam: the scan code of
// bits 16-23, with kExtended when bit 24 (extended key) is set.
std::uint16_t Set1FromKeyMessage(std::uint32_t lParam);
// The input event code of an XKB key code, which Qt's keyboard input on Linux gives as a key
// event's native scan code (evdev + 8 on X11, Wayland and libinput alike); 0 below 8 or where
// the result would not be a key code.
std::uint16_t EvdevFromXkbKeycode(std::uint32_t xkbKeycode);

}  // namespace keyboard
