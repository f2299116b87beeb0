#include "pages/page_dispatch.h"

#include <gtest/gtest.h>

#include <string>

#include "battery/battery_info.h"
#include "battery/battery_page.h"
#include "disk/disk_page.h"
#include "disk/hd_smart.h"
#include "pages/dialog_texts.h"
#include "platform/fake/fake_battery_system.h"
#include "platform/fake/fake_drive_system.h"
#include "smbios/smbios.h"
#include "smbios/smbios_pages.h"
#include "tests/support/smbios_table_builder.h"
#include "tests/support/test_sectors.h"
#include "verdict/verdict_page.h"

namespace {

using smbios::CFormatted;

platform::FakeDrive AtaDrive() {
    platform::FakeDrive drive;
    drive.identify = disktest::IdentifySector("Disk Model", "SN1", "FW1");
    drive.smartData = disktest::SmartSector();
    return drive;
}

// A small machine: BIOS, system, board, a 2.4 processor (so its page writes "-" into the
// decoder), one memory module, a portable battery; an ATA drive; one battery.
struct CMachine {
    platform::CFixedSmbiosSource smbiosSource{
        smbios::SmbiosTableBuilder()
            .Version(2, 4)
            .Add(CFormatted(0, 0x18).Byte(0x04, 1).Byte(0x05, 2).Byte(0x08, 3).Byte(0x09, 0x0F),
                 {"Vendor", "1.0", "01/02/2020"})
            .Add(CFormatted(1, 0x19).Bytes(0x04, {1, 2, 3, 4}), {"Maker", "Model", "V", "S"})
            .Add(CFormatted(2, 0x08).Bytes(0x04, {1, 2, 3, 4}), {"Board", "B1", "1.0", "BS"})
            .Add(CFormatted(4, 0x23).Byte(0x07, 1).Word(0x14, 2400), {"Intel", "Core"})
            .Add(CFormatted(17, 0x1B).Word(0x0C, 4096).Byte(0x12, 0x18).Word(0x15, 1600),
                 {"Samsung"})
            .Add(CFormatted(22, 0x1A).Word(0x0C, 11100), {"", "", "2020-01-01"})
            .Tables()};
    CSMBios smbios{smbiosSource, platform::Notifier()};
    platform::CFakeDriveSystem drives{{AtaDrive()}};
    CHdSmart hdSmart{drives};
    platform::CFakeBatterySystem batteries;
    CBatteryInfo battery{batteries};

    pages::PageSources Sources() { return {&smbios, &hdSmart, &battery}; }
};

TEST(PageDispatch, EveryPositionHasItsActionAndCaption) {
    for (int position : {0, 1, 2, 3, 4, 5, 6, pages::kPanelPage, pages::kVerdictPage}) {
        EXPECT_EQ(pages::ActionOf(position), pages::CategoryAction::kBuildPage) << position;
        // The caption is the category's name without its leading number.
        const std::string_view name = pages::kCategoryNames[static_cast<std::size_t>(position)];
        EXPECT_EQ(pages::CaptionOf(position), name.substr(1)) << position;
    }
    EXPECT_EQ(pages::ActionOf(pages::kSummaryPage), pages::CategoryAction::kRunSummary);
    EXPECT_EQ(pages::CaptionOf(pages::kSummaryPage), "其它信息");
    EXPECT_EQ(pages::ActionOf(pages::kPixelTest), pages::CategoryAction::kOpenPixelTest);
    EXPECT_EQ(pages::CaptionOf(pages::kPixelTest), "");
    EXPECT_EQ(pages::ActionOf(pages::kKeyboardTest), pages::CategoryAction::kOpenKeyboardTest);
    EXPECT_EQ(pages::CaptionOf(pages::kKeyboardTest), "");
    for (int outside : {-1, 12, 1000}) {
        EXPECT_EQ(pages::ActionOf(outside), pages::CategoryAction::kNothing);
        EXPECT_EQ(pages::CaptionOf(outside), "");
    }
}

TEST(PageDispatch, EachTextPageIsItsBuildersPageAndIsKept) {
    CMachine m;
    pages::CPageStrings strings;
    CMachine reference;
    std::string version;
    const std::string bios = smbios::BuildBiosPage(reference.smbios, &version);
    ASSERT_FALSE(bios.empty());

    EXPECT_EQ(pages::BuildTextPage(pages::kBiosPage, m.Sources(), &strings), bios);
    EXPECT_EQ(strings.m_strBiosPage, bios);
    EXPECT_EQ(strings.m_strSmbiosVersion, "2.4");
    EXPECT_EQ(pages::BuildTextPage(pages::kSystemPage, m.Sources(), &strings),
              smbios::BuildSystemPage(reference.smbios));
    EXPECT_EQ(pages::BuildTextPage(pages::kBoardPage, m.Sources(), &strings),
              smbios::BuildBoardPage(reference.smbios));
    EXPECT_EQ(pages::BuildTextPage(pages::kProcessorPage, m.Sources(), &strings),
              smbios::BuildProcessorPage(reference.smbios));
    EXPECT_EQ(m.smbios.m_strCpuCores, "-");  // a 2.4 table: the page wrote its placeholder
    EXPECT_EQ(pages::BuildTextPage(pages::kDiskPage, m.Sources(), &strings),
              disk::BuildDiskPage(reference.hdSmart));
    EXPECT_EQ(strings.m_strDiskPage, disk::BuildDiskPage(reference.hdSmart));
    EXPECT_EQ(pages::BuildTextPage(pages::kBatteryPage, m.Sources(), &strings),
              battery::BuildBatteryPage(reference.battery, reference.smbios));
    const std::string verdictPage = verdict::BuildVerdictPage(&reference.smbios, &reference.hdSmart,
                                                              &reference.battery, nullptr);
    EXPECT_EQ(pages::BuildTextPage(pages::kVerdictPage, m.Sources(), &strings), verdictPage);
    EXPECT_EQ(strings.m_strVerdictPage, verdictPage);
}

TEST(PageDispatch, MemoryPageStartsOverAtEveryShowing) {
    CMachine m;
    pages::CPageStrings strings;
    std::string expected;
    smbios::AppendMemoryPage(m.smbios, &expected);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(pages::BuildTextPage(pages::kMemoryPage, m.Sources(), &strings), expected);
    EXPECT_TRUE(strings.m_strMemoryPage.empty());
    EXPECT_EQ(pages::BuildTextPage(pages::kMemoryPage, m.Sources(), &strings), expected);
}

TEST(PageDispatch, MissingSourcesAndOtherPositionsBuildNothing) {
    CMachine m;
    pages::CPageStrings strings;
    const pages::PageSources diskOnly{nullptr, &m.hdSmart, nullptr};
    for (int position :
         {pages::kBiosPage, pages::kMemoryPage, pages::kBatteryPage, pages::kSummaryPage,
          pages::kPixelTest, pages::kPanelPage, pages::kKeyboardTest, -1}) {
        EXPECT_EQ(pages::BuildTextPage(position, diskOnly, &strings), "") << position;
    }
    EXPECT_FALSE(pages::BuildTextPage(pages::kDiskPage, diskOnly, &strings).empty());
    EXPECT_TRUE(strings.m_strBiosPage.empty());
}

}  // namespace
