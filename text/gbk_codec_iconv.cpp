#include <iconv.h>

#include <cerrno>
#include <cstddef>

#include "text/gbk_codec.h"

namespace text::codec {
namespace {

constexpr const char* kCodePage = "CP936";

// One iconv descriptor per direction and thread, opened on first use.
class CIconv {
public:
    CIconv(const char* to, const char* from) : m_hIconv(iconv_open(to, from)) {}
    ~CIconv() {
        if (Open()) iconv_close(m_hIconv);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    bool Append(std::string_view in, std::string& out) {
        if (!Open()) return false;
        const std::size_t start = out.size();
        iconv(m_hIconv, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[1024];
        while (true) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            // Once the input is used up, a last call with no input flushes the state.
            const std::size_t rc = srcLeft > 0 ? iconv(m_hIconv, &src, &srcLeft, &dst, &dstLeft)
                                               : iconv(m_hIconv, nullptr, nullptr, &dst, &dstLeft);
            out.append(buffer, sizeof buffer - dstLeft);
            if (rc == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) continue;
                break;  // EILSEQ (no such character) or EINVAL (cut off)
            }
            if (rc != 0) break;  // characters replaced by approximations: not exact
            if (srcLeft == 0 && dst == buffer) return true;
        }
        out.resize(start);
        return false;
    }

private:
    bool Open() const { return m_hIconv != reinterpret_cast<iconv_t>(-1); }

    iconv_t m_hIconv;
};

}  // namespace

bool AppendUtf8AsGbk(std::string_view utf8, std::string& out) {
    thread_local CIconv converter(kCodePage, "UTF-8");
    return converter.Append(utf8, out);
}

bool AppendGbkAsUtf8(std::string_view gbk, std::string& out) {
    thread_local CIconv converter("UTF-8", kCodePage);
    return converter.Append(gbk, out);
}

}  // namespace text::codec
