// The conversion rules, the same on every system: the text is cut into sequences (UTF-8
// sequences, GBK single bytes and byte pairs); each run of sequences that may be text goes to
// the system's codec whole, and whatever cannot be converted becomes one "?" per sequence.
//
// Private Use Area characters (U+E000-U+F8FF) are never converted. Windows gives them the
// user-defined areas of code page 936 and its unassigned pairs (A140, AAA1, D7FA, ...), iconv
// gives them nothing; with them left out both systems convert every text alike.
#include "text/gbk.h"

#include <cstddef>

#include "text/gbk_codec.h"

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

// Converts the sequences of `run` one by one, "?" for each the codec refuses.
template <typename Next, typename Append>
void AppendEachSequence(std::string_view run, Next next, Append append, std::string& out) {
    while (!run.empty()) {
        const std::size_t n = next(run).nLength;
        if (!append(run.substr(0, n), out)) out.push_back('?');
        run.remove_prefix(n);
    }
}

template <typename Next, typename Append>
std::string Convert(std::string_view in, Next next, Append append) {
    std::string out;
    out.reserve(in.size() * 3 / 2 + 4);
    while (!in.empty()) {
        // The run of sequences at the front that may be text, handed over whole when it
        // converts.
        std::size_t runLength = 0;
        Sequence sequence;
        while (runLength < in.size()) {
            sequence = next(in.substr(runLength));
            if (!sequence.bText) break;
            runLength += sequence.nLength;
        }
        const std::string_view run = in.substr(0, runLength);
        if (!run.empty() && !append(run, out)) AppendEachSequence(run, next, append, out);
        in.remove_prefix(runLength);
        if (in.empty()) break;
        // The sequence that ended the run is no text.
        out.push_back('?');
        in.remove_prefix(sequence.nLength);
    }
    return out;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    return Convert(utf8, NextUtf8, codec::AppendUtf8AsGbk);
}

std::string GbkToUtf8(std::string_view gbk) {
    return Convert(gbk, NextGbk, AppendGbkAsText);
}

}  // namespace text
