// ReadFileBytes and ReplaceFileWhole on every system; the refusals of what only one system has
// are tested beside each implementation.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <span>

#include "base/utf8_path.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ReadFileBytes, WholeFileAndLimit) {
    testsupport::CTempDir dir;
    const std::string path =
        base::Utf8Of(dir.Write("a.bin", std::string("\x00\x01\x02x\r\ny\x1A", 8)));
    auto bytes = platform::ReadFileBytes(path, 100);
    ASSERT_TRUE(bytes);
    // Byte for byte: no CR LF translation, no stop at 1A (Ctrl-Z) on Windows.
    EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{0, 1, 2, 'x', '\r', '\n', 'y', 0x1A}));

    // Exactly at the limit, and longer than it: one byte more than allowed, so the caller
    // can tell.
    bytes = platform::ReadFileBytes(path, 8);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 8u);
    bytes = platform::ReadFileBytes(path, 4);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{0, 1, 2, 'x', '\r'}));
    bytes = platform::ReadFileBytes(path, 0);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 1u);
    // No limit at all: the whole file, not an empty read from a limit that wrapped round.
    bytes = platform::ReadFileBytes(path, std::numeric_limits<std::size_t>::max());
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 8u);

    const auto empty = platform::ReadFileBytes(base::Utf8Of(dir.Write("empty", "")), 10);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}

TEST(ReadFileBytes, LargeFileInChunks) {
    testsupport::CTempDir dir;
    std::string content;
    for (int i = 0; i < 20000; ++i) content.push_back(static_cast<char>(i * 7));
    const std::string path = base::Utf8Of(dir.Write("big.bin", content));
    const auto bytes = platform::ReadFileBytes(path, 1 << 20);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), content);
    const auto cut = platform::ReadFileBytes(path, 9000);
    ASSERT_TRUE(cut);
    EXPECT_EQ(std::string(cut->begin(), cut->end()), content.substr(0, 9001));
}

TEST(ReadFileBytes, Utf8Path) {
    testsupport::CTempDir dir;
    const std::filesystem::path file = dir.Path() / std::filesystem::path(u8"电池 信息.bin");
    std::ofstream(file, std::ios::binary) << "ok";
    const auto bytes = platform::ReadFileBytes(base::Utf8Of(file), 10);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "ok");
}

TEST(ReadFileBytes, MissingAndFolderNameThePath) {
    testsupport::CTempDir dir;
    std::string err;
    const std::string missing = base::Utf8Of(dir.Path() / "missing.bin");
    EXPECT_FALSE(platform::ReadFileBytes(missing, 10, &err));
    EXPECT_EQ(err.rfind(missing + ": ", 0), 0u) << err;

    err.clear();
    const std::string folder = base::Utf8Of(dir.Path());
    EXPECT_FALSE(platform::ReadFileBytes(folder, 10, &err));
    EXPECT_EQ(err, folder + ": is a folder, not a file");

    // No message wanted: still refused.
    EXPECT_FALSE(platform::ReadFileBytes(folder, 10));
}

std::set<std::string> EntriesOf(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(base::Utf8Of(entry.path().filename()));
    return names;
}

std::string ContentOf(const std::filesystem::path& file) {
    const auto bytes = platform::ReadFileBytes(base::Utf8Of(file), 1 << 20);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<unreadable>";
}

std::span<const std::uint8_t> BytesOf(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(ReplaceFileWhole, WritesANewFileAndReplacesAnOldOneWhole) {
    testsupport::CTempDir dir;
    const std::filesystem::path file = dir.Path() / std::filesystem::path(u8"报告 1.txt");
    std::string err;
    ASSERT_TRUE(platform::ReplaceFileWhole(base::Utf8Of(file), BytesOf("first\r\n"), &err)) << err;
    EXPECT_EQ(ContentOf(file), "first\r\n");  // no line end translated
    // A longer file there is replaced, not overwritten from its start.
    dir.Write("old.txt", std::string(5000, 'x'));
    const std::filesystem::path old = dir.Path() / "old.txt";
    ASSERT_TRUE(platform::ReplaceFileWhole(base::Utf8Of(old), BytesOf("new"), &err)) << err;
    EXPECT_EQ(ContentOf(old), "new");
    ASSERT_TRUE(platform::ReplaceFileWhole(base::Utf8Of(old), {}, &err)) << err;
    EXPECT_EQ(ContentOf(old), "");
    // Nothing else is left beside them.
    EXPECT_EQ(EntriesOf(dir.Path()),
              (std::set<std::string>{"old.txt", base::Utf8Of(file.filename())}));
}

TEST(ReplaceFileWhole, FailuresLeaveTheFolderAsItWas) {
    testsupport::CTempDir dir;
    dir.Write("taken/inside.txt", "kept");
    dir.Write("other.txt", "kept");
    const std::set<std::string> before = EntriesOf(dir.Path());
    const std::string root = base::Utf8Of(dir.Path());
    const std::string cases[] = {
        root + "/missing/report.txt",  // no such folder
        root + "/taken",               // a folder with something in it is there
        root + "/other.txt/x.txt",     // a file where the folder should be
        root + "/",                    // names a folder, not a file
    };
    for (const std::string& path : cases) {
        std::string err;
        EXPECT_FALSE(platform::ReplaceFileWhole(path, BytesOf("report"), &err)) << path;
        EXPECT_FALSE(err.empty()) << path;
        EXPECT_EQ(EntriesOf(dir.Path()), before) << path;
    }
    EXPECT_EQ(ContentOf(dir.Path() / "taken" / "inside.txt"), "kept");
    EXPECT_EQ(ContentOf(dir.Path() / "other.txt"), "kept");
}

}  // namespace
