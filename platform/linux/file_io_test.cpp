// What ReadFileBytes refuses on Linux besides folders: FIFOs, devices and sockets, at once.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

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
