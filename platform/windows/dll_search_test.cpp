// Once a program has restricted its DLL search, a DLL planted in its current folder is not
// loaded by its bare name, while the system's own DLLs still are.
#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/system_sources.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(DllSearch, APlantedDllIsFoundBeforeTheRestrictionAndNeverAfter) {
    // A loadable image under a name the system folder lacks: this test program itself, which
    // LoadLibrary maps like a DLL.
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    testsupport::CTempDir download;
    const fs::path planted = download.Path() / "quorrix_planted.dll";
    if (!CreateHardLinkW(planted.c_str(), self.c_str(), nullptr)) fs::copy_file(self, planted);
    const fs::path before = fs::current_path();
    fs::current_path(download.Path());

    // Without the restriction the current folder is searched: the planted DLL loads.
    const HMODULE found = LoadLibraryW(L"quorrix_planted.dll");
    EXPECT_NE(found, nullptr);
    if (found != nullptr) FreeLibrary(found);

    platform::LoadDllsFromSystemFolderOnly();
    const HMODULE afterwards = LoadLibraryW(L"quorrix_planted.dll");
    EXPECT_EQ(afterwards, nullptr);
    if (afterwards != nullptr) FreeLibrary(afterwards);
    // A DLL of the system folder that this program does not import still loads by its name.
    const HMODULE system = LoadLibraryW(L"version.dll");
    EXPECT_NE(system, nullptr);
    if (system != nullptr) FreeLibrary(system);
    fs::current_path(before);
}

}  // namespace
