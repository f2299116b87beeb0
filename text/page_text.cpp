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
