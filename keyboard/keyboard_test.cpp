// The keyboard test's table, the recognition of key codes of both systems, the count and the
// drawing places.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "keyboard/keyboard_geometry.h"
#include "keyboard/keyboard_layout.h"
#include "keyboard/keyboard_state.h"
#include "text/gbk.h"

#if __has_include(<linux/input-event-codes.h>)
#include <linux/input-event-codes.h>
#define QUORRIX_HAVE_INPUT_CODES 1
#endif

namespace {

using keyboard::kLaptopKeys;

// The label and left edge (quarters) of the key found for a code, or "" when none was.
std::string Found(std::optional<std::size_t> index) {
    if (!index) return "";
    const keyboard::Key& key = kLaptopKeys[*index];
    return std::string(key.label) + "@" + std::to_string(key.x) + "," + std::to_string(key.y);
}

TEST(KeyboardLayout, EveryPlaceHasOneKeyAndEveryCodeOneKey) {
    std::array<std::array<int, keyboard::kLayoutWidth>, keyboard::kLayoutHeight> cover{};
    std::set<std::uint16_t> set1;
    std::set<std::uint16_t> evdev;
    for (const keyboard::Key& key : kLaptopKeys) {
        ASSERT_LE(key.x + key.w, keyboard::kLayoutWidth) << key.label;
        ASSERT_LE(key.y + key.h, keyboard::kLayoutHeight) << key.label;
        for (int y = key.y; y < key.y + key.h; ++y) {
            for (int x = key.x; x < key.x + key.w; ++x) ++cover[y][x];
        }
        // A key with one code only would light on one system and not the other.
        EXPECT_EQ(key.set1 != 0, key.evdev != 0) << key.label;
        if (!keyboard::Countable(key)) continue;
        EXPECT_TRUE(set1.insert(key.set1).second) << key.label << " set-1 code twice";
        EXPECT_TRUE(evdev.insert(key.evdev).second) << key.label << " input code twice";
    }
    for (int y = 0; y < keyboard::kLayoutHeight; ++y) {
        for (int x = 0; x < keyboard::kLayoutWidth; ++x) {
            // Only the two places beside Up, over Left and Right, stay free.
            const bool besideUp = y >= 20 && y < 22 && ((x >= 48 && x < 52) || x >= 56);
            EXPECT_EQ(cover[y][x], besideUp ? 0 : 1) << "quarter " << x << "," << y;
        }
    }
    EXPECT_EQ(keyboard::CountableKeyCount(), kLaptopKeys.size() - 1) << "all but Fn";
}

#ifdef QUORRIX_HAVE_INPUT_CODES
// A key message's lParam for a set-1 code: repeat count 1, the scan code, the extended bit.
std::uint32_t KeyLParam(std::uint16_t set1) {
    return 1u | (std::uint32_t{set1 & 0xFFu} << 16) |
           ((set1 & keyboard::kExtended) ? 1u << 24 : 0u);
}

// Every tested key, by its Linux input code (the kernel's header is the reference) and, for
// an E0 key, its set-1 code. The kernel numbers a key without E0 by its set-1 code, so the
// others' set-1 code is the input code.
struct Row {
    std::uint16_t evdev;
    std::uint16_t e0;  // 0: not an E0 key
    const char* found;
};
constexpr Row kRows[] = {
    {KEY_ESC, 0, "Esc@0,0"},
    {KEY_F1, 0, "F1@4,0"},
    {KEY_F2, 0, "F2@8,0"},
    {KEY_F3, 0, "F3@12,0"},
    {KEY_F4, 0, "F4@16,0"},
    {KEY_F5, 0, "F5@20,0"},
    {KEY_F6, 0, "F6@24,0"},
    {KEY_F7, 0, "F7@28,0"},
    {KEY_F8, 0, "F8@32,0"},
    {KEY_F9, 0, "F9@36,0"},
    {KEY_F10, 0, "F10@40,0"},
    {KEY_F11, 0, "F11@44,0"},
    {KEY_F12, 0, "F12@48,0"},
    {KEY_SYSRQ, 0x37, "PrtSc@52,0"},
    {KEY_DELETE, 0x53, "Del@56,0"},
    {KEY_GRAVE, 0, "`@0,4"},
    {KEY_1, 0, "1@4,4"},
    {KEY_2, 0, "2@8,4"},
    {KEY_3, 0, "3@12,4"},
    {KEY_4, 0, "4@16,4"},
    {KEY_5, 0, "5@20,4"},
    {KEY_6, 0, "6@24,4"},
    {KEY_7, 0, "7@28,4"},
    {KEY_8, 0, "8@32,4"},
    {KEY_9, 0, "9@36,4"},
    {KEY_0, 0, "0@40,4"},
    {KEY_MINUS, 0, "-@44,4"},
    {KEY_EQUAL, 0, "=@48,4"},
    {KEY_BACKSPACE, 0, "Backspace@52,4"},
    {KEY_TAB, 0, "Tab@0,8"},
    {KEY_Q, 0, "Q@6,8"},
    {KEY_W, 0, "W@10,8"},
    {KEY_E, 0, "E@14,8"},
    {KEY_R, 0, "R@18,8"},
    {KEY_T, 0, "T@22,8"},
    {KEY_Y, 0, "Y@26,8"},
    {KEY_U, 0, "U@30,8"},
    {KEY_I, 0, "I@34,8"},
    {KEY_O, 0, "O@38,8"},
    {KEY_P, 0, "P@42,8"},
    {KEY_LEFTBRACE, 0, "[@46,8"},
    {KEY_RIGHTBRACE, 0, "]@50,8"},
    {KEY_BACKSLASH, 0, "\\@54,8"},
    {KEY_CAPSLOCK, 0, "Caps@0,12"},
    {KEY_A, 0, "A@7,12"},
    {KEY_S, 0, "S@11,12"},
    {KEY_D, 0, "D@15,12"},
    {KEY_F, 0, "F@19,12"},
    {KEY_G, 0, "G@23,12"},
    {KEY_H, 0, "H@27,12"},
    {KEY_J, 0, "J@31,12"},
    {KEY_K, 0, "K@35,12"},
    {KEY_L, 0, "L@39,12"},
    {KEY_SEMICOLON, 0, ";@43,12"},
    {KEY_APOSTROPHE, 0, "'@47,12"},
    {KEY_ENTER, 0, "Enter@51,12"},
    {KEY_LEFTSHIFT, 0, "Shift@0,16"},
    {KEY_Z, 0, "Z@9,16"},
    {KEY_X, 0, "X@13,16"},
    {KEY_C, 0, "C@17,16"},
    {KEY_V, 0, "V@21,16"},
    {KEY_B, 0, "B@25,16"},
    {KEY_N, 0, "N@29,16"},
    {KEY_M, 0, "M@33,16"},
    {KEY_COMMA, 0, ",@37,16"},
    {KEY_DOT, 0, ".@41,16"},
    {KEY_SLASH, 0, "/@45,16"},
    {KEY_RIGHTSHIFT, 0, "Shift@49,16"},
    {KEY_LEFTCTRL, 0, "Ctrl@0,20"},
    {KEY_LEFTMETA, 0x5B, "Win@8,20"},
    {KEY_LEFTALT, 0, "Alt@12,20"},
    {KEY_SPACE, 0, "Space@16,20"},
    {KEY_RIGHTALT, 0x38, "Alt@36,20"},
    {KEY_COMPOSE, 0x5D, "Menu@40,20"},
    {KEY_RIGHTCTRL, 0x1D, "Ctrl@44,20"},
    {KEY_LEFT, 0x4B, "←@48,22"},
    {KEY_UP, 0x48, "↑@52,20"},
    {KEY_DOWN, 0x50, "↓@52,22"},
    {KEY_RIGHT, 0x4D, "→@56,22"},
    // Codes no key of the table sends: nothing.
    {KEY_F13, 0, ""},
    {KEY_FN, 0, ""},
    {KEY_HOME, 0x47, ""},
    {KEY_PAUSE, 0, ""},
    {KEY_KPENTER, 0, ""},
    {KEY_RESERVED, 0, ""},
};

TEST(KeyboardLayout, BothSystemsCodesFindTheSameKey) {
    std::size_t found = 0;
    for (const Row& row : kRows) {
        // Qt gives the XKB key code, the input code plus 8; Windows the key message's lParam.
        EXPECT_EQ(Found(keyboard::KeyOfEvdev(keyboard::EvdevFromXkbKeycode(row.evdev + 8u))),
                  row.found)
            << row.evdev;
        if (row.evdev < KEY_F13) {
            const auto set1 =
                static_cast<std::uint16_t>(row.e0 != 0 ? keyboard::kExtended | row.e0 : row.evdev);
            EXPECT_EQ(Found(keyboard::KeyOfSet1(keyboard::Set1FromKeyMessage(KeyLParam(set1)))),
                      row.found)
                << row.evdev;
        }
        found += row.found[0] != '\0';
    }
    EXPECT_EQ(found, keyboard::CountableKeyCount()) << "every tested key in the table above";
}
#endif

TEST(KeyboardLayout, CodesOfNoKeyAreIgnored) {
    struct Case {
        std::uint32_t lParam;
        std::uint32_t xkb;
    };
    constexpr Case kCases[] = {
        {0x00000001, 0},          // code 0, the "code" of Fn
        {0x012A0001, 7},          // E0 2A: the shift Windows adds around some E0 keys
        {0x01010001, 0x400},      // E0 01: no key
        {0x00760001, 8 + 0x300},  // past KEY_MAX
        {0xFFFFFFFF, 0xFFFFFFFF},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(Found(keyboard::KeyOfSet1(keyboard::Set1FromKeyMessage(c.lParam))), "")
            << std::hex << c.lParam;
        EXPECT_EQ(Found(keyboard::KeyOfEvdev(keyboard::EvdevFromXkbKeycode(c.xkb))), "")
            << std::hex << c.xkb;
    }
    // The previous-state and transition bits of a key-up message do not change the key.
    EXPECT_EQ(Found(keyboard::KeyOfSet1(keyboard::Set1FromKeyMessage(0xC1480001))), "↑@52,20");
}

TEST(CKeyboardState, KeysLightOnceAndTheCountSaysHowMany) {
    struct Step {
        char system;  // 'w' a set-1 code, 'l' an input code
        std::uint16_t code;
        bool changed;
        const char* count;
    };
    constexpr Step kSteps[] = {
        {'w', 0, false, "已测试 0 / 79 个键"},                          // Fn
        {'l', 0, false, "已测试 0 / 79 个键"},                          // Fn
        {'w', 0x01, true, "已测试 1 / 79 个键"},                        // Esc
        {'l', 1, false, "已测试 1 / 79 个键"},                          // Esc again, the other way
        {'w', 0x01, false, "已测试 1 / 79 个键"},                       // Esc held (repeats)
        {'w', keyboard::kExtended | 0x38, true, "已测试 2 / 79 个键"},  // right Alt, not left
        {'l', 56, true, "已测试 3 / 79 个键"},                          // left Alt
        {'l', 0x1D0, false, "已测试 3 / 79 个键"},                      // KEY_FN: no key
    };
    keyboard::CKeyboardState state;
    for (const Step& step : kSteps) {
        const bool changed =
            step.system == 'w' ? state.PressSet1(step.code) : state.PressEvdev(step.code);
        EXPECT_EQ(changed, step.changed) << step.system << step.code;
        EXPECT_EQ(text::GbkToUtf8(state.CountText()), step.count) << step.system << step.code;
    }
    std::size_t lit = 0;
    for (std::size_t i = 0; i < kLaptopKeys.size(); ++i) lit += state.Lit(i);
    EXPECT_EQ(lit, state.TestedCount());
    EXPECT_TRUE(state.Lit(0));
    EXPECT_FALSE(state.Lit(kLaptopKeys.size()));

    // Every key lit: the count is full, and Fn is still not lit.
    for (const keyboard::Key& key : kLaptopKeys) state.PressSet1(key.set1);
    EXPECT_EQ(text::GbkToUtf8(state.CountText()), "已测试 79 / 79 个键");
    for (std::size_t i = 0; i < kLaptopKeys.size(); ++i) {
        EXPECT_EQ(state.Lit(i), keyboard::Countable(kLaptopKeys[i])) << kLaptopKeys[i].label;
    }
}

TEST(KeyboardGeometry, KeysStayApartAndInsideAtEveryWidth) {
    for (int width : {240, 600, 601, 947, 1920}) {
        const std::vector<keyboard::KeyRect> rects = keyboard::KeyRects(width);
        const int height = keyboard::KeyboardHeight(width);
        ASSERT_EQ(rects.size(), kLaptopKeys.size()) << width;
        EXPECT_EQ(height, width * 6 / 15) << width;
        for (std::size_t i = 0; i < rects.size(); ++i) {
            const keyboard::KeyRect& r = rects[i];
            EXPECT_TRUE(r.left > 0 && r.top > 0 && r.right < width && r.bottom < height &&
                        r.left < r.right && r.top < r.bottom)
                << width << " " << kLaptopKeys[i].label;
            for (std::size_t j = 0; j < i; ++j) {
                const keyboard::KeyRect& o = rects[j];
                EXPECT_TRUE(r.right <= o.left || o.right <= r.left || r.bottom <= o.top ||
                            o.bottom <= r.top)
                    << width << " " << kLaptopKeys[i].label << " over " << kLaptopKeys[j].label;
            }
        }
        // The right edges of the full-width rows line up.
        EXPECT_EQ(rects[14].right, rects[28].right) << width;  // Del, Backspace
        EXPECT_EQ(rects[28].right, rects[79].right) << width;  // Backspace, →
    }
    EXPECT_TRUE(keyboard::KeyRects(239).empty());
}

}  // namespace
