// Keys of kLaptopKeys named for the window tests: label and left edge in quarters ("Alt@36"),
// which tells apart the keys that share a label.
#pragma once

#include <set>
#include <string>
#include <string_view>

#include "keyboard/keyboard_layout.h"
#include "keyboard/keyboard_state.h"

namespace keyboard::testing {

// The index of the key with this label and left edge; kKeyCount when there is none.
inline std::size_t KeyIndex(std::string_view label, int x) {
    for (std::size_t i = 0; i < kLaptopKeys.size(); ++i) {
        if (kLaptopKeys[i].label == label && kLaptopKeys[i].x == x) return i;
    }
    return kKeyCount;
}

// The names of the lit keys.
inline std::set<std::string> LitKeys(const CKeyboardState& state) {
    std::set<std::string> lit;
    for (std::size_t i = 0; i < kLaptopKeys.size(); ++i) {
        if (state.Lit(i)) {
            lit.insert(std::string(kLaptopKeys[i].label) + "@" + std::to_string(kLaptopKeys[i].x));
        }
    }
    return lit;
}

}  // namespace keyboard::testing
