// The conversion rules, the same on every system: the text is cut into sequences (UTF-8
// sequences, GBK single bytes and byte pairs). ASCII and the characters of the program's own
// pages (gbk_known_characters.h) convert directly; each stretch of the other sequences that
// may be text goes to the system's codec whole, and whatever cannot be converted becomes one
// "?" per sequence. Both encodings are stateless, so a text converts alike however it is cut.
//
// Private Use Area characters (U+E000-U+F8FF) are never converted. Windows gives them the
// user-defined areas of code page 936 and its unassigned pairs (A140, AAA1, D7FA, ...), iconv
// gives them nothing; with them left out both systems convert every text alike.
#include "text/gbk.h"

#include <algorithm>
#include <cstddef>

#include "text/gbk_codec.h"
#include "text/gbk_known_characters.h"

namespace text {
namespace {

struct Sequence {
    std::size_t nLength = 1;  // bytes it occupies: at least 1, at most what is left
    bool bText = false;       // well-formed, and a character that page text may hold
};

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The UTF-8 sequence at the front of `s` (not empty). A lead byte followed by as many
// continuation bytes as it announces is one sequence, even when it is not well-formed
// (an overlong form, a surrogate, beyond U+10FFFF) or is private use, so it becomes a
// single "?"; any other byte that is no character stands alone.
Sequence NextUtf8(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    if (lead < 0x80) return {1, true};
    std::size_t n = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4;
    if (n == 0 || n > s.size()) return {1, false};
    for (std::size_t i = 1; i < n; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(s[i]))) return {1, false};
    }
    // The second byte's range that excludes overlong forms, surrogates and values past
    // U+10FFFF (the table of well-formed byte sequences in the Unicode standard).
    const auto second = static_cast<unsigned char>(s[1]);
    bool text = true;
    if (lead == 0xE0)
        text = second >= 0xA0;
    else if (lead == 0xED)
        text = second <= 0x9F;
    else if (lead == 0xF0)
        text = second >= 0x90;
    else if (lead == 0xF4)
        text = second <= 0x8F;
    else if (lead == 0xEE || (lead == 0xEF && second <= 0xA3))
        text = false;  // U+E000-U+F8FF
    return {n, text};
}

// True when `utf8`, well-formed, holds a character of U+E000-U+F8FF.
bool HoldsPrivateUse(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte == 0xEE) return true;
        if (byte == 0xEF && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) <= 0xA3)
            return true;
    }
    return false;
}

// The codec's GBK to UTF-8, refusing what comes out as private use.
bool AppendGbkAsText(std::string_view gbk, std::string& out) {
    const std::size_t start = out.size();
    if (!codec::AppendGbkAsUtf8(gbk, out)) return false;
    if (HoldsPrivateUse(std::string_view(out).substr(start))) {
        out.resize(start);
        return false;
    }
    return true;
}

// The GBK sequence at the front of `s` (not empty): a single byte 00-80, or a lead byte
// 81-FE with a trail byte 40-7E or 80-FE. Any other byte (FF, a lead byte without its trail)
// stands alone and is no character. Which pairs are characters is the codec's to say.
Sequence NextGbk(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    if (lead <= 0x80) return {1, true};
    if (lead <= 0xFE && s.size() >= 2) {
        const auto trail = static_cast<unsigned char>(s[1]);
        if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) return {2, true};
    }
    return {1, false};
}

// The listed characters by GBK code, for the way back.
constexpr auto kKnownByGbk = [] {
    auto byGbk = kKnownCharacters;
    std::sort(byGbk.begin(), byGbk.end(),
              [](const KnownCharacter& a, const KnownCharacter& b) { return a.wGbk < b.wGbk; });
    return byGbk;
}();

constexpr bool ListedOnce() {
    for (std::size_t i = 0; i < kKnownCharacters.size(); ++i) {
        const KnownCharacter c = kKnownCharacters[i];
        // Three UTF-8 bytes, two GBK bytes with a lead of 81-FE, no surrogate or private use.
        if (c.wUnicode < 0x800 || (c.wUnicode >= 0xD800 && c.wUnicode <= 0xF8FF)) return false;
        if (c.wGbk < 0x8140 || c.wGbk > 0xFEFE) return false;
        if (i > 0 && kKnownCharacters[i - 1].wUnicode >= c.wUnicode) return false;
        if (i > 0 && kKnownByGbk[i - 1].wGbk >= kKnownByGbk[i].wGbk) return false;
    }
    return true;
}
static_assert(ListedOnce(), "known characters: three UTF-8 bytes, unique and sorted");

// The bytes of a listed character, converted without the codec, from its text sequence
// (not ASCII); 0 when the character is not listed.
std::size_t Utf8Directly(std::string_view sequence, char* out) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() != 3) return 0;
    const auto unicode = static_cast<char16_t>(
        (lead & 0x0F) << 12 | (static_cast<unsigned char>(sequence[1]) & 0x3F) << 6 |
        (static_cast<unsigned char>(sequence[2]) & 0x3F));
    const auto it =
        std::lower_bound(kKnownCharacters.begin(), kKnownCharacters.end(), unicode,
                         [](const KnownCharacter& c, char16_t u) { return c.wUnicode < u; });
    if (it == kKnownCharacters.end() || it->wUnicode != unicode) return 0;
    out[0] = static_cast<char>(it->wGbk >> 8);
    out[1] = static_cast<char>(it->wGbk & 0xFF);
    return 2;
}

std::size_t GbkDirectly(std::string_view sequence, char* out) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() != 2) return 0;
    const auto gbk =
        static_cast<std::uint16_t>(lead << 8 | static_cast<unsigned char>(sequence[1]));
    const auto it =
        std::lower_bound(kKnownByGbk.begin(), kKnownByGbk.end(), gbk,
                         [](const KnownCharacter& c, std::uint16_t g) { return c.wGbk < g; });
    if (it == kKnownByGbk.end() || it->wGbk != gbk) return 0;
    out[0] = static_cast<char>(0xE0 | it->wUnicode >> 12);
    out[1] = static_cast<char>(0x80 | (it->wUnicode >> 6 & 0x3F));
    out[2] = static_cast<char>(0x80 | (it->wUnicode & 0x3F));
    return 3;
}

// Converts the sequences of `run` one by one, "?" for each the codec refuses.
template <typename Next, typename Append>
void AppendEachSequence(std::string_view run, Next next, Append append, std::string& out) {
    while (!run.empty()) {
        const std::size_t n = next(run).nLength;
        if (!append(run.substr(0, n), out)) out.push_back('?');
        run.remove_prefix(n);
    }
}

// Converts `in`: ASCII bytes (the same in both encodings) and listed characters directly,
// each stretch of the other sequences that may be text through the codec, whole when it
// converts; a sequence that is no text becomes "?".
template <typename Next, typename Append, typename Direct>
std::string Convert(std::string_view in, Next next, Append append, Direct direct) {
    std::string out;
    out.reserve(in.size() * 3 / 2 + 4);
    std::size_t i = 0;        // the next byte to look at
    std::size_t stretch = 0;  // where the bytes waiting for the codec begin; they end at i
    auto flush = [&] {
        if (i == stretch) return;
        const std::string_view waiting = in.substr(stretch, i - stretch);
        if (!append(waiting, out)) AppendEachSequence(waiting, next, append, out);
    };
    while (i < in.size()) {
        if (static_cast<unsigned char>(in[i]) < 0x80) {
            flush();
            std::size_t end = i + 1;
            while (end < in.size() && static_cast<unsigned char>(in[end]) < 0x80) ++end;
            out.append(in, i, end - i);
            i = stretch = end;
            continue;
        }
        const Sequence sequence = next(in.substr(i));
        char bytes[4];
        const std::size_t converted =
            sequence.bText ? direct(in.substr(i, sequence.nLength), bytes) : 0;
        if (sequence.bText && converted == 0) {  // one more for the codec
            i += sequence.nLength;
            continue;
        }
        flush();
        if (converted > 0) {
            out.append(bytes, converted);
        } else {
            out.push_back('?');
        }
        i = stretch = i + sequence.nLength;
    }
    flush();
    return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    // Lambdas rather than function pointers, so that the steps are inlined.
    return Convert(
        utf8, [](std::string_view s) { return NextUtf8(s); },
        [](std::string_view s, std::string& out) { return codec::AppendUtf8AsGbk(s, out); },
        [](std::string_view s, char* out) { return Utf8Directly(s, out); });
}

std::string GbkToUtf8(std::string_view gbk) {
    return Convert(
        gbk, [](std::string_view s) { return NextGbk(s); },
        [](std::string_view s, std::string& out) { return AppendGbkAsText(s, out); },
        [](std::string_view s, char* out) { return GbkDirectly(s, out); });
}

}  // namespace text
