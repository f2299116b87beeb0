#include "platform/file_io.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

TEST(ReadFileBytes, WholeFileLimitAndErrors) {
    testsupport::CTempDir dir;
    const auto path = dir.Write("a.bin", std::string("\x00\x01\x02xyz", 6)).string();
    auto bytes = platform::ReadFileBytes(path, 100);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{0, 1, 2, 'x', 'y', 'z'}));

    // Longer than the limit: one byte more than allowed, so the caller can tell.
    bytes = platform::ReadFileBytes(path, 4);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 5u);

    const auto empty = platform::ReadFileBytes(dir.Write("empty", "").string(), 10);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    std::string err;
    EXPECT_FALSE(platform::ReadFileBytes((dir.Path() / "missing").string(), 10, &err));
    EXPECT_NE(err.find("missing"), std::string::npos);
    EXPECT_NE(err.find("No such file"), std::string::npos);
    EXPECT_FALSE(platform::ReadFileBytes(dir.Path().string(), 10, &err));
}

}  // namespace
