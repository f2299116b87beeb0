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
    if (pBattery != nullptr) {
        facts.battery = {.strWear = pBattery->m_strWear,
                         .strCycleCount = pBattery->m_strCycleCount};
    }
    if (pHdSmart != nullptr) {
        const CHdSmart& d = *pHdSmart;
        facts.drive = {.kind = d.m_identityKind,
                       .strPowerOnHours = d.m_strPowerOnHours,
                       .strReallocatedSectors = d.m_strReallocatedSectors,
                       .strPendingSectors = d.m_strPendingSectors,
                       .strUncorrectableSectors = d.m_strUncorrectableSectors,
                       .strPercentageUsed = d.m_strPercentageUsed,
                       .strAvailableSpare = d.m_strAvailableSpare,
                       .strSpareThreshold = d.m_strSpareThreshold,
                       .strMediaErrors = d.m_strMediaErrors,
                       .strCriticalWarning = d.m_strCriticalWarning};
    }
    if (pSmbios != nullptr && pSmbios->TableBytes() > 0)
        facts.serials = SerialFacts{.strSystem = pSmbios->m_strSystemSerial,
                                    .strBoard = pSmbios->m_strBoardSerial};
    if (pPanel != nullptr && pPanel->has_value())
        facts.panel = PanelFacts{.bChecksumOk = (*pPanel)->bChecksumOk,
                                 .bitsPerColor = (*pPanel)->bitsPerColor};
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
