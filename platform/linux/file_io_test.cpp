// What ReadFileBytes refuses on Linux besides folders: FIFOs, devices and sockets, at once;
// saved data read and written without following what another user could plant.
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/linux/unique_fd.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ReadFileBytesLinux, FifoIsRefusedWithoutWaiting) {
    testsupport::CTempDir dir;
    const std::string fifo = (dir.Path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    // No writer ever opens it: a blocking open or read would hang the test here.
    std::string err;
    EXPECT_FALSE(platform::ReadFileBytes(fifo, 10, &err));
    EXPECT_EQ(err, fifo + ": is a pipe, not a file");
}

TEST(ReadFileBytesLinux, DevicesAndSocketsAreRefused) {
    std::string err;
    // /dev/zero would fill the limit with zeros, as if it were a file.
    EXPECT_FALSE(platform::ReadFileBytes("/dev/zero", 10, &err));
    EXPECT_EQ(err, "/dev/zero: is a device, not a file");
    EXPECT_FALSE(platform::ReadFileBytes("/dev/null", 10, &err));
    EXPECT_EQ(err, "/dev/null: is a device, not a file");

    testsupport::CTempDir dir;
    const std::string socketPath = (dir.Path() / "s").string();
    platform::CUniqueFd listener(::socket(AF_UNIX, SOCK_STREAM, 0));
    ASSERT_TRUE(listener.Valid());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    ASSERT_EQ(::bind(listener.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    err.clear();
    EXPECT_FALSE(platform::ReadFileBytes(socketPath, 10, &err));
    EXPECT_EQ(err.rfind(socketPath + ": ", 0), 0u) << err;
}

TEST(ReadFileBytesLinux, SymlinkToFileIsRead) {
    testsupport::CTempDir dir;
    const auto target = dir.Write("t.bin", "abc");
    const std::string link = (dir.Path() / "link").string();
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const auto bytes = platform::ReadFileBytes(link, 10);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "abc");
}

TEST(ReadFileBytesLinux, MissingFileSaysWhy) {
    std::string err;
    EXPECT_FALSE(platform::ReadFileBytes("/nonexistent/quorrix", 10, &err));
    EXPECT_EQ(err, "/nonexistent/quorrix: " + std::string(std::strerror(ENOENT)));
}

}  // namespace

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    const auto bytes = platform::ReadFileBytes(path.string(), 1 << 20);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<unreadable>";
}

// The temporary folder a save is filling, found by its name's shape.
fs::path PartialIn(const fs::path& parent) {
    for (const auto& entry : fs::directory_iterator(parent)) {
        if (entry.path().filename().string().find(".partial-") != std::string::npos)
            return entry.path();
    }
    return {};
}

const std::uint8_t kBytes[] = {'o', 'k'};

TEST(SaveFolderLinux, ParentsOthersCanChangeAreRefused) {
    const bool root = ::geteuid() == 0;
    const struct {
        const char* name;
        mode_t mode;
        uid_t owner;  // 0: whoever runs the test
        gid_t group;  // 0: whoever runs the test
        bool taken;
    } cases[] = {
        {"private", 0700, 0, 0, true},
        {"shared-readable", 0755, 0, 0, true},
        {"sticky-for-all", 01777, 0, 0, true},
        {"writable-by-all", 0777, 0, 0, false},
        {"writable-by-another-group", 0775, 0, 54321, false},
        {"another-users", 0755, 54321, 0, false},
    };
    for (const auto& c : cases) {
        if ((c.owner || c.group) && !root) continue;  // only root gives folders away
        testsupport::CTempDir dir;
        const fs::path parent = dir.Path() / "p";
        fs::create_directory(parent);
        ASSERT_EQ(::chown(parent.c_str(), c.owner ? c.owner : ::geteuid(),
                          c.group ? c.group : ::getegid()),
                  0);
        ASSERT_EQ(::chmod(parent.c_str(), c.mode), 0);
        std::string err;
        auto folder = platform::BeginSaveFolder((parent / "out").string(), &err);
        EXPECT_EQ(folder != nullptr, c.taken) << c.name << ": " << err;
        if (!c.taken) {
            EXPECT_NE(err.find("other users"), std::string::npos) << c.name << ": " << err;
            EXPECT_EQ(err.find('\n'), std::string::npos) << c.name;
            EXPECT_TRUE(fs::is_empty(parent)) << c.name;
        }
    }
}

TEST(SaveFolderLinux, WritesOnlyBelowTheFolderItMade) {
    testsupport::CTempDir dir;
    const fs::path victim = dir.Path() / "victim";
    fs::create_directory(victim);
    std::string err;
    // Trailing separators name the same folder.
    auto folder = platform::BeginSaveFolder((dir.Path() / "out").string() + "//", &err);
    ASSERT_TRUE(folder) << err;
    ASSERT_TRUE(folder->MakeFolder("disk", &err)) << err;
    // Names that would leave the folder, or reuse an entry, are refused.
    for (const char* name : {"../escape", "disk/../../escape", "", "disk/", "/abs"})
        EXPECT_FALSE(folder->WriteFile(name, kBytes, &err)) << name;
    // The attack: the temporary folder is swapped for a link to another folder.
    const fs::path partial = PartialIn(dir.Path());
    ASSERT_FALSE(partial.empty());
    fs::rename(partial, dir.Path() / "moved");
    fs::create_directory_symlink(victim, partial);
    ASSERT_TRUE(folder->WriteFile("disk/identify.bin", kBytes, &err)) << err;
    EXPECT_TRUE(fs::is_empty(victim));
    EXPECT_EQ(Slurp(dir.Path() / "moved/disk/identify.bin"), "ok");
    EXPECT_FALSE(folder->WriteFile("disk/identify.bin", kBytes, &err));  // never overwritten
    EXPECT_FALSE(folder->Finish(&err));
    EXPECT_FALSE(fs::exists(dir.Path() / "out"));
}

TEST(SaveFolderLinux, PrivateFilesHandedToTheSudoUser) {
    testsupport::CTempDir dir;
    const bool root = ::geteuid() == 0;
    if (root) {
        ::setenv("SUDO_UID", "54321", 1);
        ::setenv("SUDO_GID", "54322", 1);
    }
    std::string err;
    auto folder = platform::BeginSaveFolder((dir.Path() / "out/").string(), &err);
    ASSERT_TRUE(folder) << err;
    const bool written = folder->MakeFolder("dmi", &err) &&
                         folder->WriteFile("dmi/DMI", kBytes, &err) && folder->Finish(&err);
    ::unsetenv("SUDO_UID");
    ::unsetenv("SUDO_GID");
    ASSERT_TRUE(written) << err;
    for (const auto& [name, mode] :
         {std::pair{"out", 0700}, {"out/dmi", 0700}, {"out/dmi/DMI", 0600}}) {
        struct stat st {};
        ASSERT_EQ(::lstat((dir.Path() / name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 07777, static_cast<mode_t>(mode)) << name;
        if (root) {
            EXPECT_EQ(st.st_uid, 54321u) << name;
            EXPECT_EQ(st.st_gid, 54322u) << name;
        }
    }
    // A folder left unfinished leaves nothing.
    folder = platform::BeginSaveFolder((dir.Path() / "gone").string(), &err);
    ASSERT_TRUE(folder && folder->MakeFolder("a", &err) && folder->WriteFile("a/b", kBytes, &err));
    folder.reset();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST(ReplaceFileWholeLinux, ACutWriteKeepsTheOldFileAndALinkIsReplacedNotFollowed) {
    testsupport::CTempDir dir;
    const fs::path report = dir.Write("report.txt", "old report");
    // The file size limit cuts the write short (EFBIG after four bytes).
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 4;
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string longer = "a longer new report";
    std::string err;
    const bool written = platform::ReplaceFileWhole(
        report.string(), {reinterpret_cast<const std::uint8_t*>(longer.data()), longer.size()},
        &err);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
    EXPECT_EQ(err.rfind(report.string() + ": ", 0), 0u) << err;
    EXPECT_EQ(Slurp(report), "old report");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

    // A link at the name is replaced by the new file; the file it pointed to stays as it was.
    const fs::path elsewhere = dir.Write("elsewhere", "not ours");
    const fs::path linked = dir.Path() / "linked.txt";
    fs::create_symlink(elsewhere, linked);
    ASSERT_TRUE(platform::ReplaceFileWhole(linked.string(), kBytes, &err)) << err;
    EXPECT_FALSE(fs::is_symlink(linked));
    EXPECT_EQ(Slurp(linked), "ok");
    EXPECT_EQ(Slurp(elsewhere), "not ours");
    struct stat st {};
    ASSERT_EQ(::lstat(linked.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);  // serial numbers are the user's own
}

TEST(ReadSavedFileLinux, LinksAndOtherUsersFilesAreRefused) {
    testsupport::CTempDir dir;
    const fs::path secret = dir.Write("secret", "root only");
    ::chmod(secret.c_str(), 0600);
    fs::create_symlink(secret, dir.Path() / "DMI");
    const fs::path planted = dir.Write("planted", "theirs");
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(planted.c_str(), 54321, 54321), 0);
    }
    const struct {
        const char* name;
        platform::SavedFile where;
        bool read;
        const char* why;
    } cases[] = {
        {"secret", platform::SavedFile::kInFolder, true, ""},
        {"DMI", platform::SavedFile::kInFolder, false, "is a link"},
        {"DMI", platform::SavedFile::kNamed, true, ""},
        {"planted", platform::SavedFile::kInFolder, !root, "belongs to another user"},
    };
    for (const auto& c : cases) {
        std::string err;
        const auto bytes =
            platform::ReadSavedFileBytes((dir.Path() / c.name).string(), 100, &err, c.where);
        EXPECT_EQ(bytes.has_value(), c.read) << c.name << ": " << err;
        if (!c.read) {
            EXPECT_NE(err.find(c.why), std::string::npos) << err;
        }
    }
}

TEST(ReadSavedFileLinux, UnderSudoTheUsersRightsAreTakenOn) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root";
    testsupport::CTempDir dir;
    const fs::path secret = dir.Write("secret", "root only");
    ::chmod(secret.c_str(), 0600);
    ::chmod(dir.Path().c_str(), 0755);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("SUDO_UID", "54321", 1);
        ::setenv("SUDO_GID", "54321", 1);
        std::string err;
        if (!platform::TakeOnInvokingUser(&err)) ::_exit(3);
        if (::geteuid() != 54321 || ::getegid() != 54321) ::_exit(4);
        ::_exit(
            platform::ReadSavedFileBytes(secret.string(), 100, &err, platform::SavedFile::kNamed)
                ? 5
                : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(ListFolderLinux, KindsComeFromTheEntryItself) {
    testsupport::CTempDir dir;
    dir.Write("BAT0/type", "Battery\n");
    fs::create_directory_symlink(dir.Path() / "BAT0", dir.Path() / "BAT1");
    ASSERT_EQ(::mkfifo((dir.Path() / "fifo").c_str(), 0600), 0);
    using platform::EntryKind;
    for (const bool follow : {false, true}) {
        auto entries = platform::ListFolder(dir.Path().string(), follow);
        ASSERT_TRUE(entries);
        std::sort(entries->begin(), entries->end());
        const std::vector<std::pair<std::string, EntryKind>> expected{
            {"BAT0", EntryKind::kFolder},
            {"BAT1", follow ? EntryKind::kFolder : EntryKind::kLink},
            {"fifo", EntryKind::kOther}};
        EXPECT_EQ(*entries, expected) << follow;
    }
    EXPECT_FALSE(platform::ListFolder((dir.Path() / "none").string(), false));
}

}  // namespace
