// The folder --save writes, on Linux: every entry made with *at() calls relative to
// descriptors of folders this process made itself, so that no name another user can change
// decides where a byte goes, even when the process runs as root. And a file saved whole: written
// beside its name, then renamed over it.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <random>

#include "platform/file_io.h"
#include "platform/linux/errno_text.h"
#include "platform/linux/unique_fd.h"

namespace platform {
namespace {

struct Owner {
    uid_t uid;
    gid_t gid;
};

// The user the folder is for: under sudo the one who ran it, else the process's own user.
std::optional<Owner> SudoUser() {
    if (::geteuid() != 0) return std::nullopt;
    const char* uid = std::getenv("SUDO_UID");
    const char* gid = std::getenv("SUDO_GID");
    if (!uid || !gid || !*uid || !*gid) return std::nullopt;
    char* uidEnd = nullptr;
    char* gidEnd = nullptr;
    const unsigned long u = std::strtoul(uid, &uidEnd, 10);
    const unsigned long g = std::strtoul(gid, &gidEnd, 10);
    if (*uidEnd || *gidEnd || u > 0xFFFFFFFEul || g > 0xFFFFFFFEul) return std::nullopt;
    return Owner{static_cast<uid_t>(u), static_cast<gid_t>(g)};
}

// True when only `caller`, root, and no one else can add, remove or rename entries in the
// folder `st` describes. A sticky folder (/tmp) lets each user rename only their own
// entries; a group-writable one is safe when the group is the caller's own and has no
// listed members beside the caller.
bool OnlyCallerCanRename(const struct stat& st, const Owner& caller) {
    if (st.st_uid != caller.uid && st.st_uid != 0) return false;
    if (st.st_mode & S_ISVTX) return true;
    if (st.st_mode & S_IWOTH) return false;
    if (!(st.st_mode & S_IWGRP)) return true;
    if (st.st_gid != caller.gid) return false;
    const group* members = ::getgrgid(st.st_gid);
    const passwd* account = ::getpwuid(caller.uid);
    if (!members) return false;
    for (char** name = members->gr_mem; *name; ++name) {
        if (!account || std::strcmp(*name, account->pw_name) != 0) return false;
    }
    return true;
}

bool PlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// `path` split into the folder it is in ("." or "/" where it names none) and its own name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Writes all of `bytes` to `fd`: 0, or the errno of the write that failed.
int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

class CLinuxSaveFolder final : public ISaveFolder {
public:
    CLinuxSaveFolder(std::string target, CUniqueFd parent, std::string leaf,
                     std::optional<Owner> giveTo)
        : m_strTarget(std::move(target)),
          m_parent(std::move(parent)),
          m_strLeaf(std::move(leaf)),
          m_giveTo(giveTo) {}

    ~CLinuxSaveFolder() override {
        if (m_bFinished || m_strTemp.empty()) return;
        // What was made, last first; nothing else in the folder is ours to remove.
        for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
            const auto [folder, leaf] = Split(it->first);
            const auto found = m_folders.find(folder);
            if (found != m_folders.end())
                ::unlinkat(found->second.Get(), leaf.c_str(), it->second ? AT_REMOVEDIR : 0);
        }
        m_folders.clear();
        ::unlinkat(m_parent.Get(), m_strTemp.c_str(), AT_REMOVEDIR);
    }

    bool Start(std::string* err) {
        std::random_device random;
        for (int attempt = 0; attempt < 8; ++attempt) {
            const std::string name = "." + m_strLeaf + ".partial-" + std::to_string(random());
            if (::mkdirat(m_parent.Get(), name.c_str(), 0700) == 0) {
                m_strTemp = name;
                break;
            }
            if (errno != EEXIST) break;
        }
        if (m_strTemp.empty()) {
            *err = ErrnoText(m_strTarget + ": no temporary folder beside it", errno);
            return false;
        }
        CUniqueFd temp(::openat(m_parent.Get(), m_strTemp.c_str(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!temp.Valid() || !GiveAway(temp.Get())) {
            *err = ErrnoText(m_strTarget + ": the temporary folder", errno);
            return false;
        }
        m_folders.emplace("", std::move(temp));
        return true;
    }

    bool MakeFolder(const std::string& relative, std::string* err) override {
        const auto [folder, leaf] = Split(relative);
        const int at = FolderFd(folder);
        if (at < 0 || !PlainName(leaf)) return Fail(relative, EINVAL, err);
        if (::mkdirat(at, leaf.c_str(), 0700) != 0) return Fail(relative, errno, err);
        m_created.emplace_back(relative, true);
        CUniqueFd made(::openat(at, leaf.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!made.Valid() || !GiveAway(made.Get())) return Fail(relative, errno, err);
        m_folders.emplace(relative, std::move(made));
        return true;
    }

    bool WriteFile(const std::string& relative, std::span<const std::uint8_t> bytes,
                   std::string* err) override {
        const auto [folder, leaf] = Split(relative);
        const int at = FolderFd(folder);
        if (at < 0 || !PlainName(leaf)) return Fail(relative, EINVAL, err);
        CUniqueFd file(::openat(at, leaf.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                                0600));
        if (!file.Valid()) return Fail(relative, errno, err);
        m_created.emplace_back(relative, false);
        if (!GiveAway(file.Get())) return Fail(relative, errno, err);
        if (const int code = WriteAll(file.Get(), bytes); code != 0)
            return Fail(relative, code, err);
        if (::close(file.Release()) != 0) return Fail(relative, errno, err);
        return true;
    }

    bool Finish(std::string* err) override {
        // The name must still be the folder that was filled (no one else can rename in the
        // parent, but the check costs nothing).
        struct stat named {};
        struct stat held {};
        if (::fstatat(m_parent.Get(), m_strTemp.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            ::fstat(FolderFd(""), &held) != 0 || named.st_dev != held.st_dev ||
            named.st_ino != held.st_ino) {
            *err = m_strTarget + ": the temporary folder was replaced; nothing was saved";
            return false;
        }
        // An empty folder at the target is replaced in the same step; anything else there
        // makes the rename fail and leaves it as it was.
        if (::renameat(m_parent.Get(), m_strTemp.c_str(), m_parent.Get(), m_strLeaf.c_str()) != 0) {
            *err = ErrnoText(m_strTarget, errno);
            return false;
        }
        m_bFinished = true;
        return true;
    }

private:
    static std::pair<std::string, std::string> Split(const std::string& relative) {
        const auto slash = relative.rfind('/');
        if (slash == std::string::npos) return {"", relative};
        if (slash == 0) return {"/", relative};  // no such folder: refused
        return {relative.substr(0, slash), relative.substr(slash + 1)};
    }

    int FolderFd(const std::string& folder) const {
        const auto found = m_folders.find(folder);
        return found == m_folders.end() ? -1 : found->second.Get();
    }

    bool GiveAway(int fd) const {
        return !m_giveTo || ::fchown(fd, m_giveTo->uid, m_giveTo->gid) == 0;
    }

    bool Fail(const std::string& relative, int code, std::string* err) const {
        *err = ErrnoText(m_strTarget + "/" + relative, code);
        return false;
    }

    std::string m_strTarget;
    CUniqueFd m_parent;
    std::string m_strLeaf;
    std::optional<Owner> m_giveTo;
    std::string m_strTemp;
    std::map<std::string, CUniqueFd> m_folders;           // "" is the temporary folder
    std::vector<std::pair<std::string, bool>> m_created;  // path, is a folder
    bool m_bFinished = false;
};

}  // namespace

std::unique_ptr<ISaveFolder> BeginSaveFolder(const std::string& target, std::string* err) {
    std::string path = target;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const auto [parentPath, leaf] = SplitPath(path);
    if (!PlainName(leaf)) {
        *err = target + ": names no folder to make";
        return nullptr;
    }
    CUniqueFd parent(::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!parent.Valid()) {
        *err = ErrnoText(parentPath, errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(parent.Get(), &st) != 0) {
        *err = ErrnoText(parentPath, errno);
        return nullptr;
    }
    const std::optional<Owner> sudoUser = SudoUser();
    const Owner caller = sudoUser.value_or(Owner{::geteuid(), ::getegid()});
    if (!OnlyCallerCanRename(st, caller)) {
        *err = parentPath +
               ": other users can rename entries in this folder (no sticky bit); save elsewhere";
        return nullptr;
    }
    auto folder = std::make_unique<CLinuxSaveFolder>(target, std::move(parent), leaf, sudoUser);
    if (!folder->Start(err)) return nullptr;
    return folder;
}

bool ReplaceFileWhole(const std::string& path, std::span<const std::uint8_t> bytes,
                      std::string* err) {
    const auto [parentPath, leaf] = SplitPath(path);
    if (!PlainName(leaf)) {
        *err = path + ": names no file";
        return false;
    }
    CUniqueFd parent(::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.Valid()) {
        *err = ErrnoText(parentPath, errno);
        return false;
    }
    // A name of our own beside the target: O_EXCL with O_NOFOLLOW opens nothing that is
    // already there, a link planted at the name included.
    std::random_device random;
    std::string temp;
    CUniqueFd file;
    for (int attempt = 0; attempt < 8 && !file.Valid(); ++attempt) {
        temp = ".quorrix-" + std::to_string(random()) + ".partial";
        file.Reset(::openat(parent.Get(), temp.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
        if (!file.Valid() && errno != EEXIST) break;
    }
    if (!file.Valid()) {
        *err = ErrnoText(path + ": no new file beside it", errno);
        return false;
    }
    const std::optional<Owner> owner = SudoUser();
    int code = 0;
    if (owner && ::fchown(file.Get(), owner->uid, owner->gid) != 0) code = errno;
    if (code == 0) code = WriteAll(file.Get(), bytes);
    if (code == 0 && ::fsync(file.Get()) != 0) code = errno;
    if (::close(file.Release()) != 0 && code == 0) code = errno;
    if (code == 0 && ::renameat(parent.Get(), temp.c_str(), parent.Get(), leaf.c_str()) != 0)
        code = errno;
    if (code != 0) {
        ::unlinkat(parent.Get(), temp.c_str(), 0);
        *err = ErrnoText(path, code);
        return false;
    }
    ::fsync(parent.Get());  // the rename on the disk too; the file is in place either way
    return true;
}

}  // namespace platform
