#include "keyboard/keyboard_state.h"

#include "text/gbk.h"

namespace keyboard {

bool CKeyboardState::Light(std::optional<std::size_t> index) {
    if (!index || m_arrLit[*index]) return false;
    m_arrLit[*index] = true;
    ++m_nTested;
    return true;
}

bool CKeyboardState::PressSet1(std::uint16_t set1) {
    return Light(KeyOfSet1(set1));
}

bool CKeyboardState::PressEvdev(std::uint16_t evdev) {
    return Light(KeyOfEvdev(evdev));
}

std::string CKeyboardState::CountText() const {
    return text::Utf8ToGbk("已测试 " + std::to_string(m_nTested) + " / " +
                           std::to_string(CountableKeyCount()) + " 个键");
}

}  // namespace keyboard
