// The real drive layer on the machine the tests run on. Under Wine (8.0), \\.\PhysicalDrive0
// opens and its device descriptor names a SCSI bus, but SMART_GET_VERSION and the NVMe
// queries fail with ERROR_NOT_SUPPORTED: the reader must end with six empty texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>

#include "disk/hd_smart.h"
#include "platform/windows/windows_drive_system.h"

namespace platform {
namespace {

bool RunsUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(WindowsDriveLive, DriveNumbersPastThirtyOneOpenNothing) {
    const auto drives = MakeWindowsDriveSystem();
    EXPECT_FALSE(drives->OpenDrive(32));
    EXPECT_FALSE(drives->OpenDrive(255));
}

TEST(WindowsDriveLive, UnderWineTheReaderEndsWithSixEmptyTexts) {
    if (!RunsUnderWine()) GTEST_SKIP() << "a real drive answers only outside Wine";
    const auto drives = MakeWindowsDriveSystem();
    {
        const auto drive = drives->OpenDrive(0);
        ASSERT_TRUE(drive);
        EXPECT_FALSE(drive->IsNvme());
        std::array<std::uint8_t, kSmartVersionBytes> version{};
        EXPECT_FALSE(drive->GetVersion(version));
    }
    const CHdSmart smart(*drives);
    EXPECT_EQ(smart.m_strModel, "");
    EXPECT_EQ(smart.m_strSerial, "");
    EXPECT_EQ(smart.m_strFirmware, "");
    EXPECT_EQ(smart.m_strTemperature, "");
    EXPECT_EQ(smart.m_strPowerOnHours, "");
    EXPECT_EQ(smart.m_strPowerCycles, "");
    EXPECT_EQ(smart.m_drive[0].m_strError, "");
}

}  // namespace
}  // namespace platform
