// The SMART reader run through the Windows drive layer over recorded replies, against the
// same sectors handed to it by the in-memory drive: both paths must give the same texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "disk/hd_smart.h"
#include "platform/fake/fake_drive_system.h"
#include "platform/windows/windows_drive_recording.h"
#include "platform/windows/windows_drive_system.h"
#include "tests/support/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using namespace platform::drive_testing;

std::optional<std::vector<std::uint8_t>> Load(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> FoldersWith(const char* kind, const char* file) {
    std::vector<fs::path> folders;
    const fs::path root = testsupport::FixturesDir();
    std::error_code ec;
    if (root.empty() || !fs::is_directory(root / kind, ec)) return folders;
    for (const auto& entry : fs::recursive_directory_iterator(root / kind, ec)) {
        if (entry.path().filename() == file) folders.push_back(entry.path().parent_path());
    }
    std::sort(folders.begin(), folders.end());
    return folders;
}

// Everything the reader keeps of drive 0.
struct Texts {
    std::string model, serial, firmware, temperature, powerOnHours, powerCycles;
    std::string reallocated, pending, uncorrectable, percentageUsed, availableSpare, mediaErrors;
    DriveKind kind = DriveKind::kNone;
    std::string error;
    std::vector<std::uint8_t> identify;  // the version record is the drive's own: not compared

    explicit Texts(const CHdSmart& smart)
        : model(smart.m_strModel),
          serial(smart.m_strSerial),
          firmware(smart.m_strFirmware),
          temperature(smart.m_strTemperature),
          powerOnHours(smart.m_strPowerOnHours),
          powerCycles(smart.m_strPowerCycles),
          reallocated(smart.m_strReallocatedSectors),
          pending(smart.m_strPendingSectors),
          uncorrectable(smart.m_strUncorrectableSectors),
          percentageUsed(smart.m_strPercentageUsed),
          availableSpare(smart.m_strAvailableSpare),
          mediaErrors(smart.m_strMediaErrors),
          kind(smart.m_identityKind),
          error(smart.m_drive[0].m_strError),
          identify(smart.m_drive[0].m_identify.begin(), smart.m_drive[0].m_identify.end()) {}
    bool operator==(const Texts&) const = default;
};

void PrintTo(const Texts& t, std::ostream* os) {
    *os << "{" << t.model << "|" << t.serial << "|" << t.firmware << "|" << t.temperature << "|"
        << t.powerOnHours << "|" << t.powerCycles << "|" << t.reallocated << "|" << t.pending << "|"
        << t.uncorrectable << "|" << t.percentageUsed << "|" << t.availableSpare << "|"
        << t.mediaErrors << "|" << static_cast<int>(t.kind) << "|" << t.error << "}";
}

Texts ThroughWindows(const DriveRecording& recording) {
    CWindowsDriveSystem drives([&recording](const std::string&) {
        return std::make_unique<CRecordedDeviceIo>(recording, nullptr);
    });
    return Texts(CHdSmart(drives));
}

Texts ThroughMemory(const FakeDrive& drive) {
    CFakeDriveSystem drives({drive});
    return Texts(CHdSmart(drives));
}

FakeDrive AtaFake(std::optional<std::vector<std::uint8_t>> identify,
                  std::optional<std::vector<std::uint8_t>> smart) {
    FakeDrive drive;
    drive.identify = std::move(identify);
    drive.smartData = std::move(smart);
    return drive;
}

FakeDrive NvmeFake(std::optional<std::vector<std::uint8_t>> identify,
                   std::optional<std::vector<std::uint8_t>> log) {
    FakeDrive drive;
    drive.bNvme = true;
    drive.bVersionOk = false;
    drive.nvmeIdentify = std::move(identify);
    drive.nvmeHealthLog = std::move(log);
    return drive;
}

// An IDENTIFY DEVICE sector with ATA strings (each pair of characters swapped) and a SMART
// data sector with attributes 9, 12 and 194.
std::vector<std::uint8_t> IdentifySector() {
    std::vector<std::uint8_t> sector(512, 0);
    auto put = [&sector](std::size_t offset, std::size_t width, const std::string& text) {
        std::string field = text;
        field.resize(width, ' ');
        for (std::size_t k = 0; k + 1 < width; k += 2) {
            sector[offset + k] = static_cast<std::uint8_t>(field[k + 1]);
            sector[offset + k + 1] = static_cast<std::uint8_t>(field[k]);
        }
    };
    put(20, 20, "  SN-0042");
    put(46, 8, "FW1.02");
    put(54, 40, "QUORRIX TEST DISK 256GB");
    return sector;
}

std::vector<std::uint8_t> SmartSector() {
    std::vector<std::uint8_t> sector(512, 0);
    auto entry = [&sector](std::size_t i, std::uint8_t id, std::vector<std::uint8_t> raw) {
        sector[2 + 12 * i] = id;
        std::copy(raw.begin(), raw.end(), sector.begin() + 2 + 12 * i + 5);
    };
    entry(0, 9, {0x70, 0x11, 0x01});
    entry(3, 12, {0x2C, 0x01});
    entry(7, 194, {0x23, 0x00, 0x0F});
    return sector;
}

TEST(WindowsDriveReader, BuiltSectorsReadTheSameThroughBothPaths) {
    const Texts windows = ThroughWindows(AtaDriveRecording(IdentifySector(), SmartSector()));
    EXPECT_EQ(windows, ThroughMemory(AtaFake(IdentifySector(), SmartSector())));
    EXPECT_EQ(windows.model, "QUORRIX TEST DISK 256GB");
    EXPECT_EQ(windows.serial, "SN-0042");
    EXPECT_EQ(windows.firmware, "FW1.02");
    EXPECT_EQ(windows.powerOnHours, "4464");
    EXPECT_EQ(windows.powerCycles, "300");
    EXPECT_EQ(windows.temperature, "35");
}

TEST(WindowsDriveReader, AFailedEnableLeavesTheSystemsCodeInTheSlot) {
    DriveRecording recording = AtaDriveRecording(IdentifySector(), SmartSector());
    recording.enable = RecordedReply::Failing(5);
    FakeDrive fake = AtaFake(IdentifySector(), SmartSector());
    fake.nEnableError = 5;
    const Texts windows = ThroughWindows(recording);
    EXPECT_EQ(windows, ThroughMemory(fake));
    EXPECT_EQ(windows.error, "Error 5 in reading SMART Enabled flag");
    EXPECT_EQ(windows.model, "");
    EXPECT_EQ(windows.temperature, "");
}

TEST(WindowsDriveReader, ABadReplyCountsAsAMissingSector) {
    // The identify reply is short by a byte, the SMART data reply claims more than its
    // buffer: the reader sees two failed reads, exactly like a drive that sent neither.
    DriveRecording recording = AtaDriveRecording(IdentifySector(), SmartSector());
    recording.identify->claimed = 527;
    recording.smartData->claimed = 532;
    EXPECT_EQ(ThroughWindows(recording), ThroughMemory(AtaFake(std::nullopt, std::nullopt)));

    recording = AtaDriveRecording(IdentifySector(), SmartSector());
    recording.smartData = Reply(SendCmdOutReply(SmartSector(), 512, 1, 0x04));
    const Texts identityOnly = ThroughWindows(recording);
    EXPECT_EQ(identityOnly, ThroughMemory(AtaFake(IdentifySector(), std::nullopt)));
    EXPECT_EQ(identityOnly.model, "QUORRIX TEST DISK 256GB");
    EXPECT_EQ(identityOnly.powerOnHours, "");
}

TEST(WindowsDriveReader, NothingAnsweredLeavesSixEmptyTexts) {
    // What Wine answers: the drive opens, every request fails with error 50.
    const Texts texts = ThroughWindows(DriveRecording{});
    EXPECT_EQ(texts, ThroughMemory([] {
                  FakeDrive drive;
                  drive.bVersionOk = false;
                  return drive;
              }()));
    EXPECT_EQ(texts.model + texts.serial + texts.firmware + texts.temperature + texts.powerOnHours +
                  texts.powerCycles + texts.error,
              "");
}

TEST(WindowsDriveReader, FixtureAtaDrivesReadTheSameThroughBothPaths) {
    const auto folders = FoldersWith("ata", "identify.bin");
    if (folders.empty()) GTEST_SKIP() << "no ATA fixtures in this checkout";
    int compared = 0;
    for (const fs::path& dir : folders) {
        SCOPED_TRACE(dir.string());
        const auto identify = Load(dir / "identify.bin");
        const auto smart = Load(dir / "smart.bin");
        const Texts windows = ThroughWindows(AtaDriveRecording(identify, smart));
        EXPECT_EQ(windows, ThroughMemory(AtaFake(identify, smart)));
        EXPECT_NE(windows.model, "");
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

TEST(WindowsDriveReader, FixtureNvmeDrivesReadTheSameThroughBothPaths) {
    const auto folders = FoldersWith("nvme", "id-ctrl.bin");
    if (folders.empty()) GTEST_SKIP() << "no NVMe fixtures in this checkout";
    for (const fs::path& dir : folders) {
        SCOPED_TRACE(dir.string());
        const auto identify = Load(dir / "id-ctrl.bin");
        const auto log = Load(dir / "smart-log.bin");
        const Texts windows = ThroughWindows(NvmeDriveRecording(identify, log));
        EXPECT_EQ(windows, ThroughMemory(NvmeFake(identify, log)));
        EXPECT_NE(windows.model, "");
        if (log) {
            EXPECT_NE(windows.temperature, "");
        }
    }
}

}  // namespace
}  // namespace platform
