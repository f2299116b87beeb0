// Once a program has restricted its DLL search, a DLL planted in its current folder is not
// loaded by its bare name, while the system's own DLLs still are.
#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/system_sources.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(DllSearch, APlantedDllIsFoundBeforeTheRestrictionAndNeverAfter) {
    // A loadable image under a name the system folder lacks: this program, which LoadLibrary
    // maps like a DLL.
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    testsupport::CTempDir download;
    const auto planted = download.Path() / "quorrix_planted.dll";
    if (!CreateHardLinkW(planted.c_str(), self.c_str(), nullptr)) {
        std::filesystem::copy_file(self, planted);
    }
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(download.Path());
    const auto loads = [](const wchar_t* name) {
        const HMODULE module = LoadLibraryW(name);
        if (module != nullptr) FreeLibrary(module);
        return module != nullptr;
    };
    EXPECT_TRUE(loads(L"quorrix_planted.dll"));  // the current folder is searched by default
    platform::LoadDllsFromSystemFolderOnly();
    EXPECT_FALSE(loads(L"quorrix_planted.dll"));
    EXPECT_TRUE(loads(L"version.dll"));  // the system folder's, which this program does not import
    std::filesystem::current_path(before);
}

}  // namespace
