#include "disk/disk_page.h"

#include <gtest/gtest.h>

#include <string>

#include "disk/hd_smart.h"
#include "platform/fake/fake_drive_system.h"

namespace {

// The labels and units in GBK, spelled out byte by byte.
const std::string kModel = "\xD3\xB2\xC5\xCC\xB2\xFA\xC6\xB7\xC3\xFB  \xA3\xBA";  // 硬盘产品名
const std::string kSerial = "\xD3\xB2\xC5\xCC\xD0\xF2\xC1\xD0\xBA\xC5  \xA3\xBA";  // 硬盘序列号
const std::string kFirmware = "\xD3\xB2\xC5\xCC\xB9\xCC\xBC\xFE    \xA3\xBA";      // 硬盘固件
const std::string kCycles = "\xD3\xB2\xC5\xCC\xCA\xB9\xD3\xC3\xB4\xCE\xCA\xFD\xA3\xBA";  // 使用次数
const std::string kHours = "\xD3\xB2\xC5\xCC\xCA\xB9\xD3\xC3\xCA\xB1\xBC\xE4\xA3\xBA";  // 使用时间
const std::string kTemperature = "\xD3\xB2\xC5\xCC\xCE\xC2\xB6\xC8    \xA3\xBA";  // 硬盘温度
const std::string kTimes = " \xB4\xCE";                                           // 次
const std::string kHoursUnit = " \xD0\xA1\xCA\xB1";                               // 小时
const std::string kCelsius = " \xC9\xE3\xCA\xCF\xB6\xC8";                         // 摄氏度

TEST(DiskPage, EmptyTextsLeaveLabelsAndUnits) {
    platform::CFakeDriveSystem noDrive;
    const CHdSmart smart(noDrive);
    const std::string expected = kModel + "\r\n" + kSerial + "\r\n" + kFirmware + "\r\n" + kCycles +
                                 kTimes + "\r\n" + kHours + kHoursUnit + "\r\n" + kTemperature +
                                 kCelsius;
    EXPECT_EQ(disk::BuildDiskPage(smart), expected);
    for (const std::string& label : {kModel, kSerial, kFirmware, kCycles, kHours, kTemperature}) {
        EXPECT_EQ(label.size(), 14u);
    }
}

TEST(DiskPage, ValuesFollowTheColonDirectly) {
    platform::CFakeDriveSystem noDrive;
    CHdSmart smart(noDrive);
    smart.m_strModel = "ST9160821AS";
    smart.m_strSerial = "5MAC2QTA";
    smart.m_strFirmware = "3.CLH";
    smart.m_strPowerCycles = "465";
    smart.m_strPowerOnHours = "556";
    smart.m_strTemperature = "35";
    const std::string expected = kModel + "ST9160821AS\r\n" + kSerial + "5MAC2QTA\r\n" + kFirmware +
                                 "3.CLH\r\n" + kCycles + "465" + kTimes + "\r\n" + kHours + "556" +
                                 kHoursUnit + "\r\n" + kTemperature + "35" + kCelsius;
    const std::string page = disk::BuildDiskPage(smart);
    EXPECT_EQ(page, expected);
    EXPECT_EQ(disk::BuildDiskPage(smart), page);  // built twice, the same bytes
}

}  // namespace
