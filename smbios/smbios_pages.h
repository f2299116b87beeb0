// The BIOS, system, processor, board and memory pages, built from CSMBios's texts.
#pragma once

#include <string>

class CSMBios;

namespace smbios {

// The BIOS page (no line break after the last line). Writes the "%d.%d" version text it
// shows to `*pVersionText`.
std::string BuildBiosPage(const CSMBios& smbios, std::string* pVersionText);
// The system page (every line ends with CR LF).
std::string BuildSystemPage(const CSMBios& smbios);
// The board page (no line break after the last line).
std::string BuildBoardPage(const CSMBios& smbios);
// The processor page (every line ends with CR LF). Tables older than 2.5 have no core and
// thread counts: they are set to "-" in `smbios` first.
std::string BuildProcessorPage(CSMBios& smbios);
// Appends one six-line record per populated memory module to `*pPage`, each ending with an
// empty line.
void AppendMemoryPage(const CSMBios& smbios, std::string* pPage);

}  // namespace smbios
