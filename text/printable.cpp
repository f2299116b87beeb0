#include "text/printable.h"

namespace text {

std::string Printable(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                        static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else if (c1) {
            const auto next = static_cast<unsigned char>(utf8[++i]);
            out += "\\u00";
            out += kHex[next >> 4];
            out += kHex[next & 0x0F];
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

}  // namespace text
