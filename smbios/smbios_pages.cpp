#include "smbios/smbios_pages.h"

#include <algorithm>
#include <cstdio>

#include "smbios/smbios.h"
#include "text/page_text.h"

namespace smbios {
namespace {

// Placeholder for the core and thread counts of tables that cannot hold them.
constexpr char kNotAvailable = '-';

// Core Count and Thread Count joined the processor structure in SMBIOS 2.5.
bool HasCoreCounts(const CSMBios& smbios) {
    return smbios.m_byMajorVersion > 2 ||
           (smbios.m_byMajorVersion == 2 && smbios.m_byMinorVersion >= 5);
}

}  // namespace

std::string BuildBiosPage(const CSMBios& smbios, std::string* pVersionText) {
    char version[8];
    std::snprintf(version, sizeof version, "%d.%d", smbios.m_byMajorVersion,
                  smbios.m_byMinorVersion);
    if (pVersionText) *pVersionText = version;
    return text::JoinLines(
        {text::Line("SMBIOS版本", version), text::Line("BIOS制造商", smbios.m_strBiosVendor),
         text::Line("BIOS版本", smbios.m_strBiosVersion),
         text::Line("BIOS日期", smbios.m_strBiosDate),
         text::Line("BIOS大小", smbios.m_strBiosRomSize, "KB")},
        false);
}

std::string BuildSystemPage(const CSMBios& smbios) {
    return text::JoinLines({text::Line("产品家族", smbios.m_strSystemFamily),
                            text::Line("产品生产商", smbios.m_strSystemManufacturer),
                            text::Line("产品名称", smbios.m_strSystemProduct),
                            text::Line("产品序列号", smbios.m_strSystemSerial),
                            text::Line("产品SKU号", smbios.m_strSystemSku),
                            text::Line("产品版本号", smbios.m_strSystemVersion),
                            text::Line("产品UUID号", smbios.m_strSystemUuid)},
                           true);
}

std::string BuildBoardPage(const CSMBios& smbios) {
    return text::JoinLines({text::Line("主板生产商", smbios.m_strBoardManufacturer),
                            text::Line("主板名称", smbios.m_strBoardProduct),
                            text::Line("主板序列号", smbios.m_strBoardSerial),
                            text::Line("主板版本号", smbios.m_strBoardVersion)},
                           false);
}

std::string BuildProcessorPage(CSMBios& smbios) {
    if (!HasCoreCounts(smbios)) {
        smbios.m_strCpuCores.assign(1, kNotAvailable);
        smbios.m_strCpuThreads.assign(1, kNotAvailable);
    }
    return text::JoinLines({text::Line("CPU制造商", smbios.m_strCpuManufacturer),
                            text::Line("CPU名称", smbios.m_strCpuVersion),
                            text::Line("CPU主频", smbios.m_strCpuMaxSpeed, "MHz"),
                            text::Line("CPU外频", smbios.m_strCpuExternalClock, "MHz"),
                            text::Line("CPU核心数", smbios.m_strCpuCores),
                            text::Line("CPU线程数", smbios.m_strCpuThreads),
                            text::Line("CPU一级缓存", smbios.m_strL1Cache, " KB"),
                            text::Line("CPU二级缓存", smbios.m_strL2Cache, " KB"),
                            text::Line("CPU三级缓存", smbios.m_strL3Cache, " KB")},
                           true);
}

void AppendMemoryPage(const CSMBios& smbios, std::string* pPage) {
    const std::size_t count = std::min(
        smbios.m_memory.size(), static_cast<std::size_t>(std::max(smbios.m_nMemoryCount, 0)));
    for (std::size_t i = 0; i < count; ++i) {
        const MemoryDeviceText& r = smbios.m_memory[i];
        pPage->append(text::JoinLines(
            {text::Line("内存生产商", r.strManufacturer), text::Line("内存大小", r.strSize, "MB"),
             text::Line("内存类型", r.strType), text::Line("内存频率", r.strSpeed, "MHz"),
             text::Line("内存批次", r.strPartNumber), text::Line("内存序列号", r.strSerialNumber)},
            true));
        pPage->append(text::kLineBreak);
    }
}

}  // namespace smbios
