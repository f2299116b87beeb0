// What Explorer reads from both programs: the version resource, and quorrix-report.exe's
// manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/wide_text.h"

namespace {

// version.dll is not a Known DLL, so no program of ours imports it (Windows would look for it
// beside the program first): its three calls are taken from the system folder's copy.
template <typename F>
F SystemVersionCall(const char* name) {
    static const HMODULE hVersion =
        LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC proc = hVersion ? GetProcAddress(hVersion, name) : nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(proc));
}
const auto pGetFileVersionInfoSizeW =
    SystemVersionCall<decltype(&GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
const auto pGetFileVersionInfoW =
    SystemVersionCall<decltype(&GetFileVersionInfoW)>("GetFileVersionInfoW");
const auto pVerQueryValueW = SystemVersionCall<decltype(&VerQueryValueW)>("VerQueryValueW");

// The build's path as Wine shows it to a Windows program.
std::wstring WinePath(std::string path) {
    if (path.starts_with('/')) path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return win32::Utf8ToWide(path);
}

// One string of the file's Simplified Chinese, UTF-16 string table.
std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    void* value = nullptr;
    UINT chars = 0;
    if (!pVerQueryValueW(info.data(), key.c_str(), &value, &chars) || chars == 0) return {};
    return std::wstring(static_cast<const wchar_t*>(value), chars - 1);
}

std::string ManifestOf(const std::wstring& path) {
    HMODULE hFile = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (hFile == nullptr) return {};
    std::string text;
    if (HRSRC hRes = FindResourceW(hFile, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        if (HGLOBAL hData = LoadResource(hFile, hRes)) {
            text.assign(static_cast<const char*>(LockResource(hData)), SizeofResource(hFile, hRes));
        }
    }
    FreeLibrary(hFile);
    return text;
}

TEST(VersionResource, BothProgramsNameProductVersionAndMaker) {
    struct Case {
        const char* path;
        const wchar_t* description;
        const char* executionLevel;
        bool dpiAware;  // laid out at each monitor's DPI, not stretched
    };
    const Case cases[] = {
        {QUORRIX_EXE_PATH, L"Quorrix 笔记本硬件检测", "requireAdministrator", true},
        {QUORRIX_REPORT_EXE_PATH, L"Quorrix 硬件信息报告（命令行）", "asInvoker", false},
    };
    ASSERT_TRUE(pGetFileVersionInfoSizeW && pGetFileVersionInfoW && pVerQueryValueW);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const std::wstring path = WinePath(c.path);
        const DWORD size = pGetFileVersionInfoSizeW(path.c_str(), nullptr);
        ASSERT_GT(size, 0u);
        std::vector<char> info(size);
        ASSERT_TRUE(pGetFileVersionInfoW(path.c_str(), 0, size, info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT fixedSize = 0;
        ASSERT_TRUE(
            pVerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 2));
        EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 2));
        EXPECT_EQ(VersionString(info, L"ProductName"), L"Quorrix");
        EXPECT_EQ(VersionString(info, L"ProductVersion"), L"2.0.0");
        EXPECT_EQ(VersionString(info, L"FileVersion"), L"2.0.0");
        EXPECT_EQ(VersionString(info, L"FileDescription"), c.description);
        EXPECT_EQ(VersionString(info, L"CompanyName"), L"Quorrix 开发组");
        EXPECT_EQ(VersionString(info, L"LegalCopyright"), L"Copyright (C) 2026 Quorrix 开发组");

        const std::string manifest = ManifestOf(path);
        EXPECT_NE(manifest.find(std::string("level=\"") + c.executionLevel + "\""),
                  std::string::npos);
        EXPECT_NE(manifest.find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"), std::string::npos)
            << "Windows 10 and 11 among the supported systems";
        EXPECT_EQ(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>") != std::string::npos,
                  c.dpiAware);
        EXPECT_EQ(manifest.find(">true/pm</dpiAware>") != std::string::npos, c.dpiAware);
    }
}

}  // namespace
