#include "text/page_text.h"

#include "text/gbk.h"

namespace text {

std::string Label(std::string_view utf8Name) {
    std::string label = Utf8ToGbk(utf8Name);
    if (label.size() < kLabelColumns) label.append(kLabelColumns - label.size(), ' ');
    label.append(kFullWidthColon);
    return label;
}

std::string Line(std::string_view utf8Name, std::string_view value, std::string_view utf8Suffix) {
    std::string line = Label(utf8Name);
    line.append(value);
    // A value is one line of text: a control byte in it (CR, LF, TAB, ESC...) would start
    // a line of its own or drive the terminal. GBK's lead and trail bytes all lie at 0x40
    // and above, 0x7F excepted, so no character is cut.
    for (std::size_t i = line.size() - value.size(); i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if (byte < 0x20 || byte == 0x7F) line[i] = '?';
    }
    line.append(Utf8ToGbk(utf8Suffix));
    return line;
}

std::string JoinLines(std::initializer_list<std::string> lines, bool finalBreak) {
    std::string page;
    bool first = true;
    for (const std::string& line : lines) {
        if (!first) page.append(kLineBreak);
        page.append(line);
        first = false;
    }
    if (finalBreak && lines.size() > 0) page.append(kLineBreak);
    return page;
}

std::string Volts(std::uint32_t millivolts) {
    // Written digit by digit, which keeps the floating-point formatter (and libm) out of the
    // programs and is several times faster than the printf family.
    std::string text = std::to_string(millivolts / 1000u);
    const unsigned fraction = millivolts % 1000u;
    text += '.';
    text += static_cast<char>('0' + fraction / 100);
    text += static_cast<char>('0' + fraction / 10 % 10);
    text += static_cast<char>('0' + fraction % 10);
    text += "000";
    return text;
}

}  // namespace text
