#include "disk/disk_page.h"

#include "disk/hd_smart.h"
#include "text/page_text.h"

namespace disk {

std::string BuildDiskPage(const CHdSmart& hdSmart) {
    return text::JoinLines({text::Line("硬盘产品名", hdSmart.m_strModel),
                            text::Line("硬盘序列号", hdSmart.m_strSerial),
                            text::Line("硬盘固件", hdSmart.m_strFirmware),
                            text::Line("硬盘使用次数", hdSmart.m_strPowerCycles, " 次"),
                            text::Line("硬盘使用时间", hdSmart.m_strPowerOnHours, " 小时"),
                            text::Line("硬盘温度", hdSmart.m_strTemperature, " 摄氏度")},
                           false);
}

}  // namespace disk
