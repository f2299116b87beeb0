#include "cli/saved_drive.h"

#include <gtest/gtest.h>

#include "disk/hd_smart.h"
#include "platform/fake/fake_drive_system.h"
#include "tests/support/test_sectors.h"

namespace {

// The six texts of a reading, for comparing two readings at once.
std::vector<std::string> Texts(const CHdSmart& s) {
    return {s.m_strModel,       s.m_strSerial,       s.m_strFirmware,
            s.m_strTemperature, s.m_strPowerOnHours, s.m_strPowerCycles};
}

std::vector<std::uint8_t> Smart() {
    auto sector = disktest::SmartSector();
    disktest::PutAttribute(sector, 0, 9, {0x70, 0x11, 0x01});
    disktest::PutAttribute(sector, 1, 12, {0x2A, 0x00});
    disktest::PutAttribute(sector, 2, 194, {0x23, 0x00, 0x0F});
    return sector;
}

cli::SavedDrive Ata(std::vector<std::uint8_t> identify) {
    cli::SavedDrive drive;
    drive.identify = std::move(identify);
    drive.smartData = Smart();
    return drive;
}

TEST(SavedDrive, AtaReadsAsTheLiveDriveWould) {
    const auto identify = disktest::IdentifySector("Saved Model", "SN42", "FW7");
    cli::CSavedDriveSystem saved(Ata(identify));
    platform::CFakeDriveSystem live;
    live.Drive(0).identify = identify;
    live.Drive(0).smartData = Smart();
    const CHdSmart fromSaved(saved);
    const CHdSmart fromLive(live);
    EXPECT_EQ(Texts(fromSaved), Texts(fromLive));
    EXPECT_EQ(fromSaved.m_strModel, "Saved Model");
    EXPECT_EQ(fromSaved.m_strPowerOnHours, "4464");
    EXPECT_EQ(saved.OpenDrive(1), nullptr);  // only drive 0 was saved
}

TEST(SavedDrive, NvmeTakesNoAtaCommand) {
    cli::SavedDrive drive;
    drive.bNvme = true;
    drive.nvmeIdentify = disktest::NvmeIdentifySector("NVMe Model", "S1", "F1");
    drive.nvmeHealthLog = std::vector<std::uint8_t>(512, 0);
    cli::CSavedDriveSystem saved(drive);
    auto opened = saved.OpenDrive(0);
    ASSERT_TRUE(opened);
    std::array<std::uint8_t, platform::kSmartVersionBytes> version{};
    EXPECT_FALSE(opened->GetVersion(version));
    int code = 0;
    EXPECT_FALSE(opened->SendCommand({.features = 0xD8, .command = 0xB0}, &code));
    EXPECT_NE(code, 0);
    std::array<std::uint8_t, platform::kNvmeLogPageBytes> log{};
    EXPECT_TRUE(opened->NvmeGetLogPage(platform::kNvmeLogSmartHealth, log));
    EXPECT_FALSE(opened->NvmeGetLogPage(0x01, log));  // only the health log was saved
    EXPECT_EQ(CHdSmart(saved).m_strModel, "NVMe Model");
}

TEST(SavedDrive, APageOfTheWrongSizeIsAFailedCommand) {
    auto identify = disktest::IdentifySector("M", "S", "F");
    identify.pop_back();
    cli::CSavedDriveSystem saved(Ata(identify));
    const CHdSmart s(saved);
    EXPECT_EQ(s.m_strModel, "");
    EXPECT_EQ(s.m_strPowerOnHours, "4464");  // the attribute read still runs
}

}  // namespace
