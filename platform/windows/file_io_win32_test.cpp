// What ReadFileBytes refuses on Windows besides folders: devices and pipes, at once; the
// saved folder's writer.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ReadFileBytesWindows, DevicesAreRefused) {
    std::string err;
    // NUL reads as empty and CON would wait for the keyboard: neither is a file.
    EXPECT_FALSE(platform::ReadFileBytes("NUL", 10, &err));
    EXPECT_EQ(err, "NUL: is a device, not a file");
    EXPECT_FALSE(platform::ReadFileBytes("CONIN$", 10, &err));
    EXPECT_EQ(err.rfind("CONIN$: ", 0), 0u) << err;
    // The device namespace, whatever the separators; a drive there is never read as a file.
    // The same for \\?\ paths: a volume, the object namespace (GLOBALROOT), a pipe.
    for (const char* device :
         {"\\\\.\\PhysicalDrive0", "//./PhysicalDrive0", "\\\\.\\C:", "\\\\?\\C:\\x",
          "\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\x", "//?/GLOBALROOT/Device/Null"}) {
        err.clear();
        EXPECT_FALSE(platform::ReadFileBytes(device, 10, &err)) << device;
        EXPECT_EQ(err, std::string(device) + ": is a device, not a file");
        err.clear();
        EXPECT_FALSE(platform::ReadSavedFileBytes(device, 10, &err)) << device;
        EXPECT_EQ(err, std::string(device) + ": is a device, not a file");
    }
}

TEST(ReadFileBytesWindows, PipeIsRefusedWithoutWaiting) {
    // Made in the device namespace (\\.\pipe\); named through the file namespace (\\?\pipe\),
    // which is the same pipe, it is refused by the name already.
    const std::string leaf = "pipe\\quorrix-file-io-" + std::to_string(GetCurrentProcessId());
    const std::string made = "\\\\.\\" + leaf;
    const std::string name = "\\\\?\\" + leaf;
    const std::wstring wideMade(made.begin(), made.end());
    HANDLE pipe = CreateNamedPipeW(wideMade.c_str(), PIPE_ACCESS_OUTBOUND,
                                   PIPE_TYPE_BYTE | PIPE_WAIT, 1, 512, 512, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE) << GetLastError();
    // Nothing is ever written: a read would wait for ever.
    std::string err;
    EXPECT_FALSE(platform::ReadFileBytes(name, 10, &err));
    EXPECT_EQ(err, name + ": is a device, not a file");
    CloseHandle(pipe);
}

TEST(SaveFolderWindows, TrailingSeparatorsAndDevicePaths) {
    testsupport::CTempDir dir;
    std::string err;
    const std::uint8_t bytes[] = {'o', 'k'};
    auto folder = platform::BeginSaveFolder(dir.Path().string() + "\\out\\/", &err);
    ASSERT_TRUE(folder) << err;
    EXPECT_FALSE(folder->WriteFile("..\\escape", bytes, &err));
    EXPECT_FALSE(folder->WriteFile("../escape", bytes, &err));
    ASSERT_TRUE(folder->MakeFolder("dmi", &err)) << err;
    ASSERT_TRUE(folder->WriteFile("dmi/DMI", bytes, &err)) << err;
    EXPECT_FALSE(folder->WriteFile("dmi/DMI", bytes, &err));  // never overwritten
    ASSERT_TRUE(folder->Finish(&err)) << err;
    const auto back = platform::ReadSavedFileBytes(dir.Path().string() + "\\out\\dmi\\DMI", 10);
    ASSERT_TRUE(back);
    EXPECT_EQ(std::string(back->begin(), back->end()), "ok");
    for (const char* device : {"\\\\?\\GLOBALROOT\\Device\\x", "\\\\.\\C:"})
        EXPECT_FALSE(platform::BeginSaveFolder(device, &err)) << device;
}

TEST(ReadFileBytesWindows, BackslashPathsAndErrorText) {
    testsupport::CTempDir dir;
    const std::string file = dir.Write("x.bin", "abc").string();
    ASSERT_NE(file.find('\\'), std::string::npos) << file;
    const auto bytes = platform::ReadFileBytes(file, 10);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 3u);

    std::string err;
    EXPECT_FALSE(platform::ReadFileBytes(dir.Path().string() + "\\missing", 10, &err));
    EXPECT_NE(err.find("(error 2)"), std::string::npos) << err;  // ERROR_FILE_NOT_FOUND
    // Bytes that are no UTF-8 name no file.
    EXPECT_FALSE(platform::ReadFileBytes("bad\xFFname", 10, &err));
    EXPECT_EQ(err, "bad\xFFname: no file name (empty, or not UTF-8)");
    EXPECT_FALSE(platform::ReadFileBytes("", 10, &err));
}

}  // namespace
