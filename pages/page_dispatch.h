// What a double-click on a category does: its position in the list decides the caption of the
// page frame and which page builder composes the page. Both windows and the report dispatch
// through here, so they cannot drift apart.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "display/edid.h"

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
inline constexpr int kPanelPage = 9;
inline constexpr int kKeyboardTest = 10;
inline constexpr int kVerdictPage = 11;
inline constexpr int kTextPageCount = 7;  // positions 0 to 6 show a page of the first sources

enum class CategoryAction {
    kNothing,           // no entry (no selection): nothing happens
    kBuildPage,         // caption, then the page built from the data sources
    kRunSummary,        // the wait caption, the summary command streamed, the summary caption
    kOpenPixelTest,     // the hint, then the test window; the caption stays
    kOpenKeyboardTest,  // the keyboard test window; the caption stays
};

CategoryAction ActionOf(int position);

// The page frame caption of a text page or of the summary page (UTF-8): the category's name
// without its number. Empty for any other position.
// The report's page number of a position is the position plus one (the panel page is 10).
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
    std::string m_strPanelPage;
    std::string m_strVerdictPage;
    std::string m_strSmbiosVersion;
};

// The data sources the text pages read. Only the sources of the pages that are built need to
// be there: the SMBIOS pages read `pSmbios`, the disk page `pHdSmart`, the battery page
// `pBattery` and `pSmbios`, the panel page `pPanel` (which holds nullopt when no EDID was
// read: the page is shown with its values empty). The verdict page reads all four; the lines
// of a source that is missing show 未知.
struct PageSources {
    CSMBios* pSmbios = nullptr;
    const CHdSmart* pHdSmart = nullptr;
    const CBatteryInfo* pBattery = nullptr;
    const std::optional<display::EdidPanel>* pPanel = nullptr;
};

// Builds the text page at `position` (one whose action is kBuildPage) into its string in
// `*pStrings` and returns the page text (GBK) to show. The memory page is appended to its string
// and the string emptied once the page is returned, so every showing starts over. "" for any other
// position or a source that is missing (the verdict page is always built).
std::string BuildTextPage(int position, const PageSources& sources, CPageStrings* pStrings);

}  // namespace pages
