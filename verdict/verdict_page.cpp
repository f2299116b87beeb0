#include "verdict/verdict_page.h"

#include "battery/battery_info.h"
#include "disk/hd_smart.h"
#include "smbios/smbios.h"
#include "text/gbk.h"
#include "text/page_text.h"

namespace verdict {
namespace {

std::string_view StatusWord(Status status) {
    switch (status) {
        case Status::kNormal:
            return "正常";
        case Status::kAttention:
            return "注意";
        case Status::kFault:
            return "异常";
        case Status::kUnknown:
            break;
    }
    return "未知";
}

}  // namespace

Facts FactsFrom(const CSMBios* pSmbios, const CHdSmart* pHdSmart, const CBatteryInfo* pBattery,
                const std::optional<display::EdidPanel>* pPanel) {
    Facts facts;
    if (pBattery != nullptr) facts.battery = {pBattery->m_strWear, pBattery->m_strCycleCount};
    if (pHdSmart != nullptr) {
        const CHdSmart& d = *pHdSmart;
        facts.drive = {
            d.m_identityKind,      d.m_strPowerOnHours,         d.m_strReallocatedSectors,
            d.m_strPendingSectors, d.m_strUncorrectableSectors, d.m_strPercentageUsed,
            d.m_strAvailableSpare, d.m_strSpareThreshold,       d.m_strMediaErrors,
            d.m_strCriticalWarning};
    }
    if (pSmbios != nullptr && pSmbios->TableBytes() > 0)
        facts.serials = SerialFacts{pSmbios->m_strSystemSerial, pSmbios->m_strBoardSerial};
    if (pPanel != nullptr && pPanel->has_value())
        facts.panel = PanelFacts{(*pPanel)->bChecksumOk, (*pPanel)->bitsPerColor};
    return facts;
}

std::string FormatVerdictPage(const std::vector<Row>& rows) {
    std::string page;
    int faults = 0;
    int attentions = 0;
    for (const Row& row : rows) {
        std::string value = text::Utf8ToGbk(StatusWord(row.status));
        if (row.status != Status::kUnknown) {
            value += text::Utf8ToGbk("（") + row.strFigure + text::Utf8ToGbk("）");
        }
        faults += row.status == Status::kFault ? 1 : 0;
        attentions += row.status == Status::kAttention ? 1 : 0;
        page += text::Line(row.label, value);
        page += text::kLineBreak;
    }
    const std::string conclusion =
        faults == 0 && attentions == 0
            ? std::string("未发现问题")
            : "异常 " + std::to_string(faults) + " 项，注意 " + std::to_string(attentions) + " 项";
    page += text::Line("结论", text::Utf8ToGbk(conclusion));
    return page;
}

std::string BuildVerdictPage(const CSMBios* pSmbios, const CHdSmart* pHdSmart,
                             const CBatteryInfo* pBattery,
                             const std::optional<display::EdidPanel>* pPanel) {
    return FormatVerdictPage(JudgeChecks(FactsFrom(pSmbios, pHdSmart, pBattery, pPanel)));
}

}  // namespace verdict
