#include "display/panel_page.h"

#include <cstdio>

#include "display/panel_makers.h"
#include "text/gbk.h"
#include "text/page_text.h"

namespace display {
namespace {

std::string Maker(const EdidPanel& panel) {
    const std::string_view name = PanelMakerName(panel.strMakerId);
    return name.empty() ? panel.strMakerId : panel.strMakerId + " " + std::string(name);
}

std::string ProductCode(const EdidPanel& panel) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(panel.nProductCode));
    return hex;
}

std::string MadeIn(const EdidPanel& panel) {
    const std::string year = std::to_string(panel.nYear);
    if (panel.nWeek == 0) return year + "年";
    if (panel.nWeek == 0xFF) return year + "年（型号年份）";
    return year + "年第" + std::to_string(panel.nWeek) + "周";
}

std::string Tenths(std::optional<std::uint32_t> tenths) {
    if (!tenths) return {};
    return std::to_string(*tenths / 10) + "." + std::to_string(*tenths % 10);
}

std::string Resolution(const EdidPanel& panel) {
    if (!panel.hActive || !panel.vActive || !panel.refreshHz) return {};
    return std::to_string(*panel.hActive) + " x " + std::to_string(*panel.vActive) + " @ " +
           std::to_string(*panel.refreshHz);
}

}  // namespace

std::string BuildPanelPage(const std::optional<EdidPanel>& panel) {
    EdidPanel shown;
    if (panel) shown = *panel;
    const auto value = [&](std::string utf8) {
        return panel ? text::Utf8ToGbk(utf8) : std::string();
    };
    return text::JoinLines(
        {text::Line("屏幕厂商", value(Maker(shown))),
         // The panel's own text is printable ASCII, the same bytes in GBK.
         text::Line("屏幕型号", shown.strPanelText),
         text::Line("产品代码", value(ProductCode(shown))),
         text::Line("生产日期", value(MadeIn(shown))),
         text::Line("屏幕尺寸", Tenths(shown.diagonalTenths), " 英寸"),
         text::Line("分辨率", Resolution(shown), " Hz"),
         text::Line("色深", shown.bitsPerColor ? std::to_string(*shown.bitsPerColor) : "", " 位"),
         text::Line("EDID 版本",
                    value(std::to_string(shown.nVersion) + "." + std::to_string(shown.nRevision))),
         text::Line("校验和", value(shown.bChecksumOk ? "正确" : "错误"))},
        false);
}

}  // namespace display
