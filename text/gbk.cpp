#include "text/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

namespace text {
namespace {

constexpr const char* kCodePage = "CP936";

// One iconv descriptor per direction and thread, opened on first use.
class CConverter {
public:
    CConverter(const char* to, const char* from) : m_hIconv(iconv_open(to, from)) {}
    ~CConverter() {
        if (m_hIconv != reinterpret_cast<iconv_t>(-1)) iconv_close(m_hIconv);
    }
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // Converts `in`; at an input sequence that cannot be converted, appends "?" and skips
    // the bytes that `skip` says the sequence occupies.
    template <typename Skip>
    std::string Convert(std::string_view in, Skip skip) {
        std::string out;
        out.reserve(in.size() * 3 / 2 + 4);
        if (m_hIconv == reinterpret_cast<iconv_t>(-1)) {
            out.assign(in.size(), '?');
            return out;
        }
        iconv(m_hIconv, nullptr, nullptr, nullptr, nullptr);  // reset shift state
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[512];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_hIconv, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, sizeof buffer - dstLeft);
            if (rc != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ (not convertible) or EINVAL (cut off at the end): one "?" per sequence.
            const std::size_t n = skip(std::string_view(src, srcLeft));
            out.push_back('?');
            src += n;
            srcLeft -= n;
            iconv(m_hIconv, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t m_hIconv;
};

// Length of the UTF-8 sequence at the front of `s` (at least 1, at most s.size()).
std::size_t Utf8SequenceLength(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4;
    if (n > s.size()) return 1;
    for (std::size_t i = 1; i < n; ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;  // malformed: one byte
    }
    return n;
}

// Length of the GBK sequence at the front of `s` that could not be converted.
std::size_t GbkSequenceLength(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    if (lead >= 0x81 && lead <= 0xFE && s.size() >= 2) {
        const auto trail = static_cast<unsigned char>(s[1]);
        if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) return 2;
    }
    return 1;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    thread_local CConverter converter(kCodePage, "UTF-8");
    return converter.Convert(utf8, Utf8SequenceLength);
}

std::string GbkToUtf8(std::string_view gbk) {
    thread_local CConverter converter("UTF-8", kCodePage);
    return converter.Convert(gbk, GbkSequenceLength);
}

}  // namespace text
