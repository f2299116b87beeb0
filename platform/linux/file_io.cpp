#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/linux/errno_text.h"
#include "platform/linux/unique_fd.h"

namespace platform {

std::string ErrnoText(const std::string& context, int code) {
    return context + ": " + std::strerror(code);
}

namespace {

// What a file that is not a regular one is, for the message that refuses it.
const char* KindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "no regular file";
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::size_t maxBytes, std::string* err) {
    auto fail = [&](const std::string& why) -> std::optional<std::vector<std::uint8_t>> {
        if (err) *err = why;
        return std::nullopt;
    };
    // O_NONBLOCK: opening a FIFO returns at once instead of waiting for a writer (and a
    // device's open does not wait either); a regular file reads the same with it.
    CUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.Valid()) return fail(ErrnoText(path, errno));
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) return fail(ErrnoText(path, errno));
    if (!S_ISREG(st.st_mode)) return fail(path + ": is " + KindOf(st.st_mode) + ", not a file");

    std::vector<std::uint8_t> bytes;
    // One byte more tells the caller "too long" (none more when no limit is meant).
    const std::size_t limit =
        maxBytes == std::numeric_limits<std::size_t>::max() ? maxBytes : maxBytes + 1;
    std::uint8_t chunk[4096];
    while (bytes.size() < limit) {
        const std::size_t want = std::min(sizeof chunk, limit - bytes.size());
        const ssize_t n = ::read(fd.Get(), chunk, want);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(ErrnoText(path, errno));
        }
        if (n == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

}  // namespace platform
