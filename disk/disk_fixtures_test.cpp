// Every saved drive in the shared fixtures, read through the same command sequence as a live
// drive and compared with what independent tools reported for the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
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

// smartctl's attribute table (-A): attribute id to the first word of its RAW_VALUE column,
// the last row of an id winning as in the reader's walk.
std::map<int, std::string> SmartctlRawValues(const fs::path& file) {
    std::map<int, std::string> raw;
    std::ifstream in(file);
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("ID# ATTRIBUTE_NAME", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        std::istringstream row(line);
        std::vector<std::string> words;
        for (std::string w; row >> w;) words.push_back(w);
        // ID NAME FLAG VALUE WORST THRESH TYPE UPDATED WHEN_FAILED RAW_VALUE...
        if (words.size() < 10) break;
        raw[std::stoi(words[0])] = words[9];
    }
    return raw;
}

std::string Raw(const std::map<int, std::string>& raw, int id) {
    const auto it = raw.find(id);
    return it == raw.end() ? std::string() : it->second;
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
    int withWear = 0;
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
        EXPECT_EQ(smart.m_identityKind, DriveKind::kAta);
        if (!drive.smartData) {
            EXPECT_EQ(smart.m_strPowerOnHours, "");
            continue;
        }
        ++withSmartData;
        // An attribute the drive lacks has no reference value and an empty text.
        EXPECT_EQ(smart.m_strPowerOnHours, ref["attr9.raw_low16"]);
        EXPECT_EQ(smart.m_strPowerCycles, ref["attr12.raw_low16"]);
        EXPECT_EQ(smart.m_strTemperature, ref["attr194.raw_low8"]);
        // The wear as smartctl shows it: attribute 5 as raw16, 197 and 198 as raw48.
        const auto raw = SmartctlRawValues(dir / "smartctl.txt");
        ASSERT_FALSE(raw.empty());
        EXPECT_EQ(smart.m_strReallocatedSectors, Raw(raw, 5));
        EXPECT_EQ(smart.m_strPendingSectors, Raw(raw, 197));
        EXPECT_EQ(smart.m_strUncorrectableSectors, Raw(raw, 198));
        withWear += !smart.m_strReallocatedSectors.empty();
    }
    EXPECT_GT(withSmartData, 0);
    EXPECT_GT(withWear, 0);
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
        EXPECT_EQ(smart.m_identityKind, DriveKind::kNvme);
        if (!drive.nvmeHealthLog) continue;
        EXPECT_EQ(smart.m_strPercentageUsed, FirstWord(ref["smart.percentage_used"]));
        EXPECT_EQ(smart.m_strAvailableSpare, FirstWord(ref["smart.available_spare_pct"]));
        EXPECT_EQ(smart.m_strMediaErrors, FirstWord(ref["smart.media_errors"]));
        EXPECT_EQ(smart.m_strCriticalWarning, FirstWord(ref["smart.critical_warning"]));
        EXPECT_EQ(smart.m_strTemperature,
                  std::to_string(std::stoi(FirstWord(ref["smart.temperature_K"])) - 273));
        EXPECT_EQ(smart.m_strPowerCycles, FirstWord(ref["smart.power_cycles"]));
        EXPECT_EQ(smart.m_strPowerOnHours, FirstWord(ref["smart.power_on_hours"]));
    }
}

}  // namespace
