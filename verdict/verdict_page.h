// The verdict page: one line per check of verdict_checks.h, then a line that counts them. Built
// from what the other data sources read at start-up; nothing is read again.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "display/edid.h"
#include "verdict/verdict_checks.h"

class CSMBios;
class CHdSmart;
class CBatteryInfo;

namespace verdict {

// The figures of the sources that are there; a missing source (nullptr), an SMBIOS table that
// was not read and a panel without EDID leave their facts unread.
Facts FactsFrom(const CSMBios* pSmbios, const CHdSmart* pHdSmart, const CBatteryInfo* pBattery,
                const std::optional<display::EdidPanel>* pPanel);

// Each row as "<label>：<status>（<figure>）", or "<label>：未知", then the conclusion: the
// faults and attentions counted ("未知" rows are not), or "未发现问题" when both are none.
// Joined by CR LF, none after the last (GBK).
std::string FormatVerdictPage(const std::vector<Row>& rows);

// FormatVerdictPage of the checks over FactsFrom the sources.
std::string BuildVerdictPage(const CSMBios* pSmbios, const CHdSmart* pHdSmart,
                             const CBatteryInfo* pBattery,
                             const std::optional<display::EdidPanel>* pPanel);

}  // namespace verdict
