#include "disk/disk_page.h"

#include "disk/hd_smart.h"
#include "text/page_text.h"

namespace disk {

std::string BuildDiskPage(const CHdSmart& hdSmart) {
    std::string page =
        text::JoinLines({text::Line("硬盘产品名", hdSmart.m_strModel),
                         text::Line("硬盘序列号", hdSmart.m_strSerial),
                         text::Line("硬盘固件", hdSmart.m_strFirmware),
                         text::Line("硬盘使用次数", hdSmart.m_strPowerCycles, " 次"),
                         text::Line("硬盘使用时间", hdSmart.m_strPowerOnHours, " 小时"),
                         text::Line("硬盘温度", hdSmart.m_strTemperature, " 摄氏度")},
                        false);
    switch (hdSmart.m_identityKind) {
        case DriveKind::kAta:
            page += text::kLineBreak;
            page += text::JoinLines(
                {text::Line("重映射扇区数", hdSmart.m_strReallocatedSectors, " 个"),
                 text::Line("待映射扇区数", hdSmart.m_strPendingSectors, " 个"),
                 text::Line("不可修复扇区", hdSmart.m_strUncorrectableSectors, " 个")},
                false);
            break;
        case DriveKind::kNvme:
            page += text::kLineBreak;
            page += text::JoinLines({text::Line("已用寿命", hdSmart.m_strPercentageUsed, "%"),
                                     text::Line("可用备用空间", hdSmart.m_strAvailableSpare, "%"),
                                     text::Line("介质错误数", hdSmart.m_strMediaErrors, " 次")},
                                    false);
            break;
        case DriveKind::kNone:
            return page;
    }
    page += text::kLineBreak;
    page += text::Line("硬盘容量", hdSmart.m_strCapacity, " GB");
    return page;
}

}  // namespace disk
