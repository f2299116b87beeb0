// What a double-click on a category does: its position in the list decides the caption of the
// page frame and which page builder composes the page. Both windows and the report dispatch
// through here, so they cannot drift apart.
#pragma once

#include <string>
#include <string_view>

class CSMBios;
class CHdSmart;
class CBatteryInfo;

namespace pages {

// Positions in the category list (the list is sorted, and each entry starts with its number).
inline constexpr int kBiosPage = 0;
inline constexpr int kSystemPage = 1;
inline constexpr int kProcessorPage = 2;
inline constexpr int kBoardPage = 3;
inline constexpr int kMemoryPage = 4;
inline constexpr int kDiskPage = 5;
inline constexpr int kBatteryPage = 6;
inline constexpr int kSummaryPage = 7;
inline constexpr int kPixelTest = 8;
inline constexpr int kTextPageCount = 7;  // positions 0 to 6 show a built page

enum class CategoryAction {
    kNothing,        // no entry (no selection): nothing happens
    kBuildPage,      // caption, then the page built from the data sources
    kRunSummary,     // the wait caption, the summary command streamed, the summary caption
    kOpenPixelTest,  // the hint, then the test window; the caption stays
};

CategoryAction ActionOf(int position);

// The page frame caption of a text page or of the summary page (UTF-8): the category's name
// without its number. Empty for any other position.
std::string_view CaptionOf(int position);

// The page strings a main dialog keeps, and the SMBIOS version text the BIOS page writes.
struct CPageStrings {
    std::string m_strBiosPage;
    std::string m_strSystemPage;
    std::string m_strProcessorPage;
    std::string m_strBoardPage;
    std::string m_strMemoryPage;
    std::string m_strDiskPage;
    std::string m_strBatteryPage;
    std::string m_strSmbiosVersion;
};

// The data sources the text pages read. Only the sources of the pages that are built need to
// be there: the SMBIOS pages read `pSmbios`, the disk page `pHdSmart`, the battery page
// `pBattery` and `pSmbios`.
struct PageSources {
    CSMBios* pSmbios = nullptr;
    const CHdSmart* pHdSmart = nullptr;
    const CBatteryInfo* pBattery = nullptr;
};

// Builds text page `position` (0 to kTextPageCount - 1) into its string in `*pStrings` and
// returns the page text (GBK) to show. The memory page is appended to its string and the
// string emptied once the page is returned, so every showing starts over. "" for any other
// position or a source that is missing.
std::string BuildTextPage(int position, const PageSources& sources, CPageStrings* pStrings);

}  // namespace pages
