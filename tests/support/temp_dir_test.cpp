#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(TempDir, FreshFoldersWrittenAndRemoved) {
    std::filesystem::path kept;
    {
        testsupport::CTempDir first;
        testsupport::CTempDir second;
        ASSERT_TRUE(std::filesystem::is_directory(first.Path()));
        ASSERT_TRUE(std::filesystem::is_directory(second.Path()));
        EXPECT_NE(first.Path(), second.Path());
        EXPECT_TRUE(std::filesystem::is_empty(first.Path()));

        // Folders on the way are created; bytes are written as they are (no CR LF on Windows).
        const auto path = first.Write("a/b/c.bin", std::string("x\r\ny\n\0z", 7));
        EXPECT_EQ(path, first.Path() / "a/b/c.bin");
        EXPECT_EQ(ReadAll(path), std::string("x\r\ny\n\0z", 7));
        first.Write("a/b/c.bin", std::vector<std::uint8_t>{0xFF, 0x0A});
        EXPECT_EQ(ReadAll(path), "\xFF\n");
        kept = first.Path();
    }
    EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(TempDir, FixturesDirIsAFolderOrEmpty) {
    const std::filesystem::path dir = testsupport::FixturesDir();
    if (dir.empty()) GTEST_SKIP() << "no fixtures beside this checkout";
    EXPECT_TRUE(std::filesystem::is_directory(dir / "smbios")) << dir;
}

}  // namespace
