#include "pages/page_dispatch.h"

#include "battery/battery_page.h"
#include "disk/disk_page.h"
#include "display/panel_page.h"
#include "pages/dialog_texts.h"
#include "smbios/smbios_pages.h"
#include "verdict/verdict_page.h"

namespace pages {

CategoryAction ActionOf(int position) {
    if (position >= 0 && position < kTextPageCount) return CategoryAction::kBuildPage;
    switch (position) {
        case kSummaryPage:
            return CategoryAction::kRunSummary;
        case kPixelTest:
            return CategoryAction::kOpenPixelTest;
        case kPanelPage:
        case kVerdictPage:
            return CategoryAction::kBuildPage;
        case kKeyboardTest:
            return CategoryAction::kOpenKeyboardTest;
        default:
            return CategoryAction::kNothing;
    }
}

std::string_view CaptionOf(int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= kPageCaptions.size()) return {};
    return kPageCaptions[static_cast<std::size_t>(position)];
}

std::string BuildTextPage(int position, const PageSources& sources, CPageStrings* pStrings) {
    CPageStrings& s = *pStrings;
    const bool smbios = sources.pSmbios != nullptr;
    switch (position) {
        case kBiosPage:
            if (!smbios) return {};
            s.m_strBiosPage = smbios::BuildBiosPage(*sources.pSmbios, &s.m_strSmbiosVersion);
            return s.m_strBiosPage;
        case kSystemPage:
            if (!smbios) return {};
            s.m_strSystemPage = smbios::BuildSystemPage(*sources.pSmbios);
            return s.m_strSystemPage;
        case kProcessorPage:
            if (!smbios) return {};
            s.m_strProcessorPage = smbios::BuildProcessorPage(*sources.pSmbios);
            return s.m_strProcessorPage;
        case kBoardPage:
            if (!smbios) return {};
            s.m_strBoardPage = smbios::BuildBoardPage(*sources.pSmbios);
            return s.m_strBoardPage;
        case kMemoryPage: {
            if (!smbios) return {};
            smbios::AppendMemoryPage(*sources.pSmbios, &s.m_strMemoryPage);
            std::string page = std::move(s.m_strMemoryPage);
            s.m_strMemoryPage.clear();
            return page;
        }
        case kDiskPage:
            if (sources.pHdSmart == nullptr) return {};
            s.m_strDiskPage = disk::BuildDiskPage(*sources.pHdSmart);
            return s.m_strDiskPage;
        case kBatteryPage:
            if (sources.pBattery == nullptr || !smbios) return {};
            s.m_strBatteryPage = battery::BuildBatteryPage(*sources.pBattery, *sources.pSmbios);
            return s.m_strBatteryPage;
        case kPanelPage:
            if (sources.pPanel == nullptr) return {};
            s.m_strPanelPage = display::BuildPanelPage(*sources.pPanel);
            return s.m_strPanelPage;
        case kVerdictPage:
            // Every source it judges may be missing: its lines then say 未知.
            s.m_strVerdictPage = verdict::BuildVerdictPage(sources.pSmbios, sources.pHdSmart,
                                                           sources.pBattery, sources.pPanel);
            return s.m_strVerdictPage;
        default:
            return {};
    }
}

}  // namespace pages
