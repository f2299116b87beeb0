// The summary command runs the system's own systeminfo.exe, never a systeminfo.bat or .com
// planted in the folder the program was started from (a download folder, say).
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/system_sources.h"
#include "sysinfo/command_capture.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Set while the summary runs: the file a planted program writes when it is run.
constexpr wchar_t kMarkerVariable[] = L"QUORRIX_PLANTED_MARKER";

bool EndsWithNoCase(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() &&
           CompareStringOrdinal(text.c_str() + text.size() - tail.size(),
                                static_cast<int>(tail.size()), tail.c_str(),
                                static_cast<int>(tail.size()), TRUE) == CSTR_EQUAL;
}

// A copy of this test program is planted as systeminfo.com. Started under that name with the
// variable set, it writes "com" into the marker and ends here, before any test runs.
[[maybe_unused]] const bool kRanAsPlantedCopy = [] {
    std::wstring marker(MAX_PATH, L'\0');
    const DWORD n = GetEnvironmentVariableW(kMarkerVariable, marker.data(), MAX_PATH);
    std::wstring self(MAX_PATH, L'\0');
    const DWORD selfLength = GetModuleFileNameW(nullptr, self.data(), MAX_PATH);
    if (n == 0 || n >= MAX_PATH || selfLength == 0 || selfLength >= MAX_PATH) return false;
    marker.resize(n);
    self.resize(selfLength);
    if (!EndsWithNoCase(self, L"systeminfo.com")) return false;
    const HANDLE file =
        CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, "com", 3, &written, nullptr);
        CloseHandle(file);
    }
    ExitProcess(0);
}();

fs::path ThisProgram() {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    return self;
}

// Runs the summary command as the other-information page does, from `folder` as this
// process's current folder; its output.
std::string RunSummaryFrom(const fs::path& folder) {
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    const auto runner = platform::MakeSystemProcessRunner();
    std::string err;
    std::string output;
    EXPECT_TRUE(runner->OpenPipe(&err)) << err;
    EXPECT_TRUE(runner->Start(platform::SummaryCommandLine(), &err)) << err;
    std::vector<char> buffer(sysinfo::kMaxReadBytes);
    while (const auto n = runner->Read(buffer)) output.append(buffer.data(), *n);
    runner->Close();
    fs::current_path(before);
    return output;
}

TEST(SummaryCommand, APlantedSysteminfoNeverRuns) {
    const std::string command = platform::SummaryCommandLine();
    EXPECT_TRUE(EndsWithNoCase(std::wstring(command.begin(), command.end()), L"\\systeminfo.exe\""))
        << command;
    const struct {
        const char* what;
        bool bBat, bCom;
    } rows[] = {
        {"a systeminfo.bat", true, false},
        {"a systeminfo.com", false, true},
        {"both (cmd would try .com first)", true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        testsupport::CTempDir download;
        const fs::path marker = download.Path() / "ran.txt";
        if (row.bBat) {
            download.Write("systeminfo.bat",
                           "@echo PLANTED\r\n@echo bat> \"" + marker.string() + "\"\r\n");
        }
        if (row.bCom) fs::copy_file(ThisProgram(), download.Path() / "systeminfo.com");
        ASSERT_TRUE(SetEnvironmentVariableW(kMarkerVariable, marker.wstring().c_str()));
        const std::string output = RunSummaryFrom(download.Path());
        SetEnvironmentVariableW(kMarkerVariable, nullptr);
        EXPECT_FALSE(fs::exists(marker));
        EXPECT_EQ(output.find("PLANTED"), std::string::npos) << output;
    }
}

}  // namespace
