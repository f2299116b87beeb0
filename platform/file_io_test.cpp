// ReadFileBytes on every system; the refusals of what only one system has are tested beside
// each implementation.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

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

}  // namespace
