#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/unique_fd.h"

namespace platform {

std::string ErrnoText(const std::string& context, int code) {
    return context + ": " + std::strerror(code);
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::size_t maxBytes, std::string* err) {
    auto fail = [&](int code) -> std::optional<std::vector<std::uint8_t>> {
        if (err) *err = ErrnoText(path, code);
        return std::nullopt;
    };
    CUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) return fail(errno);
    struct stat st {};
    if (::fstat(fd.Get(), &st) == 0 && S_ISDIR(st.st_mode)) return fail(EISDIR);

    std::vector<std::uint8_t> bytes;
    const std::size_t limit = maxBytes + 1;  // one more tells the caller "too long"
    std::uint8_t chunk[4096];
    while (bytes.size() < limit) {
        const std::size_t want = std::min(sizeof chunk, limit - bytes.size());
        const ssize_t n = ::read(fd.Get(), chunk, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

}  // namespace platform
