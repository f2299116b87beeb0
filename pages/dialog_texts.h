// The main window's own texts, shared by both windows (Qt and Win32) and the report. Written
// here in UTF-8 and converted to page text (GBK) where they are used, like every label of the
// program.
#pragma once

#include <array>
#include <string_view>

namespace pages {

inline constexpr std::size_t kCategoryCount = 12;

// The category list, in the order the entries are added. The list keeps its entries sorted;
// each begins with its page number (1-9, then A-C), so the sorted order is this order.
inline constexpr std::array<std::string_view, kCategoryCount> kCategoryNames = {
    "1BIOS信息", "2整机信息", "3处理器信息",     "4主板信息",   "5内存信息", "6硬盘信息",
    "7电池信息", "8其它信息", "9显示器坏点测试", "A显示屏信息", "B键盘测试", "C验机结论",
};

// The page frame caption of each category that shows a page (the text pages and the summary):
// the entry without its number. The dead-pixel and keyboard tests leave the caption alone.
inline constexpr std::array<std::string_view, kCategoryCount> kPageCaptions = {
    "BIOS信息", "整机信息", "处理器信息", "主板信息",   "内存信息", "硬盘信息",
    "电池信息", "其它信息", "",           "显示屏信息", "",         "验机结论",
};

inline constexpr std::string_view kDialogTitle = "Quorrix V2.0";
inline constexpr std::string_view kWelcomeCaption = "欢迎使用";
inline constexpr std::string_view kWelcomeText =
    "说明：\r\n本工具主要获得笔记本电脑的电池和硬盘的一些关键信息，\r\n"
    "辅以其他硬件软件信息，同时还能够进行显示器的坏点测试，\r\n作为您购机时的辅助工具。\r\n"
    "有问题请反馈：feedback@quorrix.invalid";
inline constexpr std::string_view kWaitCaption = "处理中，请稍候...";
inline constexpr std::string_view kPixelTestHint = "退出测试请按ESC键";
inline constexpr std::string_view kHintCaption = "提示";

inline constexpr std::string_view kCloseItem = "关闭(&C)\tAlt+F4";
inline constexpr std::string_view kAboutItem = "关于Quorrix(&A)...";

inline constexpr std::string_view kAboutTitle = "关于 Quorrix";
inline constexpr std::string_view kAboutVersion = "Quorrix 2.0 版  Quorrix 开发组";
inline constexpr std::string_view kAboutDate = "2026年12月";
inline constexpr std::string_view kOkText = "确定";

// Saving the report: the system-menu item above the about item, the save dialog's title and
// file type, the saved file's first line (the time follows it), and the box shown when the
// file could not be written (the reason follows it).
inline constexpr std::string_view kSaveReportItem = "保存报告...";
inline constexpr std::string_view kSaveReportTitle = "保存报告";
inline constexpr std::string_view kSaveReportFileType = "文本文件 (*.txt)";
inline constexpr std::string_view kReportHeading = "Quorrix V2.0 检测报告  保存于 ";
inline constexpr std::string_view kSaveReportFailed = "报告未能保存：";

}  // namespace pages
