#include "platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

namespace {

// Looks at `path` without opening what it names: O_PATH neither waits for a FIFO's writer
// nor runs a device's open. Its fstat tells what the entry is; only a regular file is then
// opened for reading, and it must be the same file. One descriptor at a time.
std::optional<std::vector<std::uint8_t>> ReadRegularFile(const std::string& path,
                                                         std::size_t maxBytes, bool savedData,
                                                         bool followLink, std::string* err) {
    auto fail = [&](const std::string& why) -> std::optional<std::vector<std::uint8_t>> {
        if (err) *err = why;
        return std::nullopt;
    };
    const int noFollow = followLink ? 0 : O_NOFOLLOW;
    struct stat st {};
    {
        CUniqueFd place(::open(path.c_str(), O_PATH | O_CLOEXEC | noFollow));
        if (!place.Valid()) return fail(ErrnoText(path, errno));
        if (::fstat(place.Get(), &st) != 0) return fail(ErrnoText(path, errno));
    }
    if (S_ISLNK(st.st_mode)) return fail(path + ": is a link, not a file");
    if (!S_ISREG(st.st_mode)) return fail(path + ": is " + KindOf(st.st_mode) + ", not a file");
    if (savedData && ::geteuid() == 0 && st.st_uid != 0)
        return fail(path + ": belongs to another user; as root only root's saved files are read");
    CUniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | noFollow));
    if (!fd.Valid()) return fail(ErrnoText(path, errno));
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0) return fail(ErrnoText(path, errno));
    if (opened.st_dev != st.st_dev || opened.st_ino != st.st_ino || !S_ISREG(opened.st_mode))
        return fail(path + ": changed while it was opened");

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

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::size_t maxBytes, std::string* err) {
    return ReadRegularFile(path, maxBytes, false, true, err);
}

std::optional<std::vector<std::uint8_t>> ReadSavedFileBytes(const std::string& path,
                                                            std::size_t maxBytes, std::string* err,
                                                            SavedFile where) {
    return ReadRegularFile(path, maxBytes, true, where == SavedFile::kNamed, err);
}

std::optional<std::vector<std::pair<std::string, EntryKind>>> ListFolder(const std::string& path,
                                                                         bool followLinks,
                                                                         std::string* err) {
    // The names first, with the folder closed again, so that one descriptor at a time is
    // open however deep the caller's folders go.
    std::vector<std::pair<std::string, EntryKind>> entries;
    {
        DIR* listing = ::opendir(path.c_str());
        if (!listing) {
            if (err) *err = ErrnoText(path, errno);
            return std::nullopt;
        }
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") entries.emplace_back(name, EntryKind::kOther);
        }
        ::closedir(listing);
    }
    for (auto& [name, kind] : entries) {
        const std::string entryPath = path + "/" + name;
        CUniqueFd place(
            ::open(entryPath.c_str(), O_PATH | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW)));
        struct stat st {};
        if (!place.Valid() || ::fstat(place.Get(), &st) != 0) continue;
        if (S_ISREG(st.st_mode)) kind = EntryKind::kFile;
        if (S_ISDIR(st.st_mode)) kind = EntryKind::kFolder;
        if (S_ISLNK(st.st_mode)) kind = EntryKind::kLink;
    }
    return entries;
}

bool TakeOnInvokingUser(std::string* err) {
    if (::geteuid() != 0) return true;
    const char* uidText = std::getenv("SUDO_UID");
    const char* gidText = std::getenv("SUDO_GID");
    if (!uidText || !gidText) return true;  // root itself: only root's files are read
    char* end = nullptr;
    errno = 0;
    const unsigned long uid = std::strtoul(uidText, &end, 10);
    const bool uidOk = errno == 0 && *uidText && !*end;
    const unsigned long gid = std::strtoul(gidText, &end, 10);
    if (!uidOk || errno != 0 || !*gidText || *end || uid > 0xFFFFFFFEul || gid > 0xFFFFFFFEul) {
        *err = "SUDO_UID or SUDO_GID is no user or group number";
        return false;
    }
    const auto userId = static_cast<uid_t>(uid);
    const auto groupId = static_cast<gid_t>(gid);
    // The user's own groups where the account is known, else the one group sudo names.
    const passwd* account = ::getpwuid(userId);
    const bool groups =
        account ? ::initgroups(account->pw_name, groupId) == 0 : ::setgroups(1, &groupId) == 0;
    if (!groups || ::setresgid(groupId, groupId, groupId) != 0 ||
        ::setresuid(userId, userId, userId) != 0) {
        *err = ErrnoText("taking on the rights of the user who ran sudo", errno);
        return false;
    }
    return true;
}

}  // namespace platform
