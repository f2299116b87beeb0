#include "base/utf8_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_dir.h"

namespace {

// UTF-8 names reach the file system as the same characters and come back byte for byte,
// whatever the system's narrow encoding.
TEST(Utf8Path, NamesRoundTripThroughTheFileSystem) {
    testsupport::CTempDir dir;
    for (const std::string name : {"plain.txt", "\xE7\x94\xB5\xE6\xB1\xA0",  // 电池
                                   "caf\xC3\xA9 BAT0", "\xF0\x9F\x94\x8B.bin"}) {
        SCOPED_TRACE(name);
        const std::filesystem::path path = dir.Path() / base::PathOf(name);
        EXPECT_EQ(base::Utf8Of(path.filename()), name);
        std::ofstream(path) << "x";
        EXPECT_TRUE(std::filesystem::is_regular_file(path));
    }
    EXPECT_EQ(base::Utf8Of(base::PathOf("")), "");
}

}  // namespace
