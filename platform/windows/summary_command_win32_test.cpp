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

// Set while the summary runs: the file that a planted program writes when it is run.
constexpr wchar_t kMarkerVariable[] = L"QUORRIX_PLANTED_MARKER";

fs::path ThisProgram() {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    return self;
}

// A copy of this test program is planted as systeminfo.com. Started under that name with the
// variable set, it writes its mark and ends here, before any test runs.
[[maybe_unused]] const bool kRanAsPlantedCopy = [] {
    std::wstring marker(MAX_PATH, L'\0');
    marker.resize(GetEnvironmentVariableW(kMarkerVariable, marker.data(), MAX_PATH));
    if (marker.empty() || marker.size() >= MAX_PATH) return false;
    if (_wcsicmp(ThisProgram().filename().c_str(), L"systeminfo.com") != 0) return false;
    CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ExitProcess(0);
}();

TEST(SummaryCommand, APlantedSysteminfoNeverRuns) {
    const std::string command = platform::SummaryCommandLine();
    EXPECT_TRUE(command.ends_with("\\systeminfo.exe\"")) << command;
    const struct {
        const char* what;
        bool bBat, bCom;
    } rows[] = {{"a .bat", true, false}, {"a .com", false, true}, {"both", true, true}};
    const fs::path before = fs::current_path();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        testsupport::CTempDir download;
        const fs::path marker = download.Path() / "ran";
        if (row.bBat)
            download.Write("systeminfo.bat", "@echo PLANTED> \"" + marker.string() + "\"");
        if (row.bCom) fs::copy_file(ThisProgram(), download.Path() / "systeminfo.com");
        ASSERT_TRUE(SetEnvironmentVariableW(kMarkerVariable, marker.c_str()));
        fs::current_path(download.Path());
        // As the other-information page runs it.
        const auto runner = platform::MakeSystemProcessRunner();
        std::string err;
        EXPECT_TRUE(runner->OpenPipe(&err) && runner->Start(command, &err)) << err;
        std::vector<char> buffer(sysinfo::kMaxReadBytes);
        std::string output;
        while (const auto n = runner->Read(buffer)) output.append(buffer.data(), *n);
        runner->Close();
        // cmd names a command it cannot run in its message, in every language; systeminfo's
        // own summary does not name its file.
        EXPECT_EQ(output.find("systeminfo"), std::string::npos) << output;
        fs::current_path(before);
        SetEnvironmentVariableW(kMarkerVariable, nullptr);
        EXPECT_FALSE(fs::exists(marker));
    }
}

}  // namespace
