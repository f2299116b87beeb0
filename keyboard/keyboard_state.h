// CKeyboardState: which keys of the keyboard test have been pressed. A key lights at its first
// press and stays lit; codes of keys the table does not hold change nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "keyboard/keyboard_layout.h"

namespace keyboard {

// The texts of the test's window (UTF-8).
inline constexpr std::string_view kTitle = "键盘测试";
inline constexpr std::string_view kHint =
    "请逐个按下每个键，按过的键会亮起；点窗口的关闭按钮结束测试。";

class CKeyboardState {
public:
    // Lights the key this code belongs to (a set-1 code as Set1FromKeyMessage gives it, or an
    // input event code). Returns true when that changed what is lit.
    bool PressSet1(std::uint16_t set1);
    bool PressEvdev(std::uint16_t evdev);

    // Whether kLaptopKeys[index] is lit (false for an index past the table).
    bool Lit(std::size_t index) const { return index < m_arrLit.size() && m_arrLit[index]; }
    // How many keys are lit.
    std::size_t TestedCount() const { return m_nTested; }
    // The count line, "已测试 N / M 个键" with M the keys that are tested, in page text (GBK).
    std::string CountText() const;

private:
    bool Light(std::optional<std::size_t> index);

    std::array<bool, kKeyCount> m_arrLit{};
    std::size_t m_nTested = 0;
};

}  // namespace keyboard
