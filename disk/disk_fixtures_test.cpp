// Every saved drive in the shared fixtures, read through the same command sequence as a live
// drive and compared with what independent tools reported for the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "disk/hd_smart.h"
#include "platform/fake/fake_drive_system.h"
#include "platform/file_io.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> ReadReference(const fs::path& file) {
    std::map<std::string, std::string> values;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
        auto trim = [](std::string s) {
            const auto first = s.find_first_not_of(" \t\r");
            const auto last = s.find_last_not_of(" \t\r");
            return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
        };
        values[trim(line.substr(0, eq))] = trim(line.substr(eq + 1));
    }
    return values;
}

std::string FirstWord(const std::string& s) {
    return s.substr(0, s.find(' '));
}

std::optional<std::vector<std::uint8_t>> Load(const fs::path& file) {
    if (!fs::exists(file)) return std::nullopt;
    return platform::ReadFileBytes(file.string(), 1 << 16);
}

// The fixture folders (those with a reference.txt) below `kind`, sorted; empty when absent.
std::vector<fs::path> FixtureFolders(const char* kind) {
    std::vector<fs::path> folders;
    const fs::path root = testsupport::FixturesDir();
    std::error_code ec;
    if (root.empty() || !fs::is_directory(root / kind, ec)) return folders;
    for (const auto& entry : fs::recursive_directory_iterator(root / kind, ec)) {
        if (entry.path().filename() == "reference.txt")
            folders.push_back(entry.path().parent_path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

TEST(DiskFixtures, AtaDrivesMatchTheirReferences) {
    const auto folders = FixtureFolders("ata");
    if (folders.empty()) GTEST_SKIP() << "no ATA fixtures in this checkout";
    int withSmartData = 0;
    for (const fs::path& dir : folders) {
        SCOPED_TRACE(dir.string());
        auto ref = ReadReference(dir / "reference.txt");
        platform::FakeDrive drive;
        drive.identify = Load(dir / "identify.bin");
        drive.smartData = Load(dir / "smart.bin");
        ASSERT_TRUE(drive.identify);
        platform::CFakeDriveSystem drives({drive});
        const CHdSmart smart(drives);

        EXPECT_EQ(smart.m_strModel, ref["model"]);
        EXPECT_EQ(smart.m_strSerial, ref["serial"]);
        EXPECT_EQ(smart.m_strFirmware, ref["firmware"]);
        if (!drive.smartData) {
            EXPECT_EQ(smart.m_strPowerOnHours, "");
            continue;
        }
        ++withSmartData;
        // An attribute the drive lacks has no reference value and an empty text.
        EXPECT_EQ(smart.m_strPowerOnHours, ref["attr9.raw_low16"]);
        EXPECT_EQ(smart.m_strPowerCycles, ref["attr12.raw_low16"]);
        EXPECT_EQ(smart.m_strTemperature, ref["attr194.raw_low8"]);
    }
    EXPECT_GT(withSmartData, 0);
}

TEST(DiskFixtures, NvmeDrivesMatchTheirReferences) {
    const auto folders = FixtureFolders("nvme");
    if (folders.empty()) GTEST_SKIP() << "no NVMe fixtures in this checkout";
    for (const fs::path& dir : folders) {
        SCOPED_TRACE(dir.string());
        auto ref = ReadReference(dir / "reference.txt");
        platform::FakeDrive drive;
        drive.bNvme = true;
        drive.bVersionOk = false;
        drive.nvmeIdentify = Load(dir / "id-ctrl.bin");
        drive.nvmeHealthLog = Load(dir / "smart-log.bin");
        ASSERT_TRUE(drive.nvmeIdentify);
        platform::CFakeDriveSystem drives({drive});
        const CHdSmart smart(drives);

        EXPECT_EQ(smart.m_strModel, ref["model"]);
        EXPECT_EQ(smart.m_strSerial, ref["serial"]);
        EXPECT_EQ(smart.m_strFirmware, ref["firmware"]);
        if (!drive.nvmeHealthLog) continue;
        EXPECT_EQ(smart.m_strTemperature,
                  std::to_string(std::stoi(FirstWord(ref["smart.temperature_K"])) - 273));
        EXPECT_EQ(smart.m_strPowerCycles, FirstWord(ref["smart.power_cycles"]));
        EXPECT_EQ(smart.m_strPowerOnHours, FirstWord(ref["smart.power_on_hours"]));
    }
}

}  // namespace
