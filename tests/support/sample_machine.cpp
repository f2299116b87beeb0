#include "tests/support/sample_machine.h"

#include <string_view>

#include "tests/support/smbios_table_builder.h"
#include "tests/support/test_sectors.h"
#include "text/gbk.h"

namespace testsupport {

using smbios::CFormatted;

platform::RawSmbios SampleSmbiosTables() {
    smbios::SmbiosTableBuilder table;
    table.Version(3, 2);
    // Type 0, BIOS (handle 0): vendor, version, date; 16 MB ROM through the 3.1 extended size.
    table.Add(CFormatted(0, 0x1A)
                  .Byte(0x04, 1)
                  .Byte(0x05, 2)
                  .Word(0x06, 0xE800)
                  .Byte(0x08, 3)
                  .Byte(0x09, 0xFF)
                  .Dword(0x0A, 0x0B9A8080)
                  .Byte(0x14, 1)
                  .Byte(0x15, 39)
                  .Word(0x18, 16),
              {"LENOVO", "N2IET98W (1.76 )", "05/24/2024"});
    // Type 1, system (handle 1).
    table.Add(CFormatted(1, 0x1B)
                  .Byte(0x04, 1)
                  .Byte(0x05, 2)
                  .Byte(0x06, 3)
                  .Byte(0x07, 4)
                  .Bytes(0x08, {0x3C, 0x5A, 0x2B, 0x81, 0x4E, 0x1F, 0x11, 0xB2, 0xA8, 0x5C, 0xC2,
                                0x4D, 0x19, 0x7E, 0x01, 0x90})
                  .Byte(0x18, 6)
                  .Byte(0x19, 5)
                  .Byte(0x1A, 6),
              {"LENOVO", "20QDCTO1WW", "ThinkPad X1 Carbon 7th", "PF1XAMPL", "LENOVO_MT_20QD",
               "ThinkPad X1 Carbon 7th"});
    // Type 2, baseboard (handle 2).
    table.Add(CFormatted(2, 0x0F).Byte(0x04, 1).Byte(0x05, 2).Byte(0x06, 3).Byte(0x07, 4).Byte(
                  0x0D, 0x0A),
              {"LENOVO", "20QDCTO1WW", "SDK0J40697 WIN", "L1HF9AB0123"});
    // Type 7, caches L1, L2, L3 (handles 3, 4, 5): level in configuration bits 0-2, sizes in KB.
    table.Add(CFormatted(7, 0x13).Byte(0x04, 1).Word(0x05, 0x0180).Word(0x07, 256).Word(0x09, 256),
              {"L1 Cache"});
    table.Add(
        CFormatted(7, 0x13).Byte(0x04, 1).Word(0x05, 0x0181).Word(0x07, 1024).Word(0x09, 1024),
        {"L2 Cache"});
    table.Add(
        CFormatted(7, 0x13).Byte(0x04, 1).Word(0x05, 0x0182).Word(0x07, 8192).Word(0x09, 8192),
        {"L3 Cache"});
    // Type 4, processor (handle 6): caches by handle, 4 cores, 8 threads.
    table.Add(CFormatted(4, 0x30)
                  .Byte(0x04, 1)
                  .Byte(0x05, 3)
                  .Byte(0x06, 0xCD)
                  .Byte(0x07, 2)
                  .Bytes(0x08, {0xEC, 0x06, 0x08, 0x00, 0xFF, 0xFB, 0xEB, 0xBF})
                  .Byte(0x10, 3)
                  .Word(0x12, 100)
                  .Word(0x14, 4900)
                  .Word(0x16, 1900)
                  .Byte(0x18, 0x41)
                  .Word(0x1A, 3)
                  .Word(0x1C, 4)
                  .Word(0x1E, 5)
                  .Byte(0x23, 4)
                  .Byte(0x24, 4)
                  .Byte(0x25, 8)
                  .Word(0x28, 0xCD)
                  .Word(0x2A, 4)
                  .Word(0x2C, 4)
                  .Word(0x2E, 8),
              {"U3E1", "Intel(R) Corporation", "Intel(R) Core(TM) i7-8665U CPU @ 1.90GHz"});
    // Type 17, memory devices (handles 7, 8, 9): two DDR4 modules of 8 GB, then an empty
    // slot that names only its locators (string numbers 0 for the rest, as firmware does).
    for (const auto& [locator, serial] :
         {std::pair{"ChannelA-DIMM0", "1A2B3C4D"}, std::pair{"ChannelB-DIMM0", "5E6F7A8B"}}) {
        CFormatted device(17, 0x28);
        device.Word(0x04, 0x000A).Word(0x08, 64).Word(0x0A, 64).Word(0x0C, 8192);
        device.Byte(0x0E, 0x0D).Byte(0x10, 1).Byte(0x11, 2).Byte(0x12, 0x1A).Word(0x13, 0x0080);
        device.Word(0x15, 2667).Byte(0x17, 3).Byte(0x18, 4).Byte(0x19, 5).Byte(0x1A, 6);
        device.Word(0x20, 2667);
        table.Add(device, {locator, "BANK 0", "Samsung", serial, "None", "M471A1K43DB1-CTD"});
    }
    CFormatted emptySlot(17, 0x28);
    emptySlot.Word(0x04, 0x000A).Word(0x08, 0xFFFF).Word(0x0A, 0xFFFF).Byte(0x0E, 0x0D);
    emptySlot.Byte(0x10, 1).Byte(0x11, 2).Byte(0x12, 0x02);
    table.Add(emptySlot, {"ChannelB-DIMM1", "BANK 1"});
    // Type 22, portable battery (handle 10): made 2024-03-15, design voltage 15.44 V.
    table.Add(CFormatted(22, 0x1A)
                  .Byte(0x04, 1)
                  .Byte(0x05, 2)
                  .Byte(0x06, 0)
                  .Byte(0x07, 0)
                  .Byte(0x08, 3)
                  .Byte(0x09, 0x02)
                  .Word(0x0A, 5100)
                  .Word(0x0C, 15440)
                  .Byte(0x0E, 4)
                  .Byte(0x0F, 0xFF)
                  .Word(0x10, 0x04D2)
                  .Word(0x12, static_cast<std::uint16_t>(((2024 - 1980) << 9) | (3 << 5) | 15))
                  .Byte(0x14, 5)
                  .Byte(0x15, 10),
              {"Front", "SMP", "5B10W13975", "03.01", "LiP"});
    table.Add(CFormatted(127, 4));
    return table.Tables();
}

std::vector<std::string> SampleSummaryPieces() {
    return {text::Utf8ToGbk("主机名:                    x1-carbon\r\n"
                            "OS 名称:                   Debian GNU/Linux 12 (bookworm)\r\n"
                            "OS 版本:                   12 (bookworm)\r\n"),
            text::Utf8ToGbk("内核版本:                  Linux 6.1.0-28-amd64\r\n"
                            "系统类型:                  x64-based PC\r\n"),
            text::Utf8ToGbk("物理内存总量:              15,745 MB\r\n")};
}

CSampleMachine::CSampleMachine() : smbios(SampleSmbiosTables()), runner(SampleSummaryPieces()) {
    panel.edid = SampleEdid();
    platform::FakeDrive& drive = drives.Drive(0);
    drive.identify =
        disktest::IdentifySector("SAMSUNG MZVLB512HBJQ-000L7", "S4DYNX0N123456", "4L7QEXA7");
    drive.smartData = disktest::SmartSector();
    disktest::PutAttribute(*drive.smartData, 0, 9, {0x2C, 0x0B, 0, 0, 0, 0});       // 2860 hours
    disktest::PutAttribute(*drive.smartData, 1, 12, {0xC7, 0x03, 0, 0, 0, 0});      // 967 cycles
    disktest::PutAttribute(*drive.smartData, 2, 194, {0x25, 0, 0x12, 0, 0x3A, 0});  // 37 °C

    batteries.information = platform::BatteryInformation{57000, 51870, 87, {'L', 'i', 'P', 0}};
    batteries.status = platform::BatteryStatus{16894};
    batteries.texts = {{platform::BatteryText::SerialNumber, "1234"},
                       {platform::BatteryText::ManufactureName, "SMP"},
                       {platform::BatteryText::UniqueId, "1234SMP5B10W13975"},
                       {platform::BatteryText::DeviceName, "5B10W13975"}};
    batteries.temperature = 3018;  // 28.6 °C in tenths of a kelvin
    batteries.lifePercent = 86;
}

std::vector<std::uint8_t> SampleEdid() {
    std::vector<std::uint8_t> b(128, 0);
    const std::uint8_t head[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF,
                                 0xFF, 0xFF, 0x00, 0x06, 0xAF,  // "AUO"
                                 0x3D, 0x40,                    // product 403D
                                 0x00, 0x00, 0x00, 0x00,        // no serial number
                                 18,   29,                      // week 18 of 2019
                                 1,    4,                       // EDID 1.4
                                 0xA5, 31,   17};               // digital, 8 bits; 31 x 17 cm
    std::copy(std::begin(head), std::end(head), b.begin());
    // 1920 x 1080 at 141 MHz, blanking 160 x 52 (60 Hz), image 309 x 174 mm.
    const std::uint8_t timing[] = {0x14, 0x37, 0x80, 0xA0, 0x70, 0x38, 0x34, 0x40, 0x30,
                                   0x20, 0x35, 0x00, 0x35, 0xAE, 0x10, 0x00, 0x00, 0x1A};
    std::copy(std::begin(timing), std::end(timing), b.begin() + 54);
    auto text = [&b](std::size_t offset, std::uint8_t tag, std::string_view data) {
        b[offset + 3] = tag;
        for (std::size_t i = 0; i < 13; ++i)
            b[offset + 5 + i] = i < data.size() ? static_cast<std::uint8_t>(data[i]) : 0x20;
        if (data.size() < 13) b[offset + 5 + data.size()] = 0x0A;
    };
    b[72 + 3] = 0x10;  // a dummy descriptor
    text(90, 0xFE, "AUO");
    text(108, 0xFE, "B140HAN04.0");
    unsigned sum = 0;
    for (std::size_t i = 0; i < 127; ++i) sum += b[i];
    b[127] = static_cast<std::uint8_t>((256 - sum % 256) % 256);
    return b;
}

DialogSeams CSampleMachine::Seams() {
    return DialogSeams{smbios,
                       drives,
                       batteries,
                       panel,
                       runner,
                       [this](std::chrono::milliseconds pause) {
                           pauses.push_back(pause);
                           if (onPause) onPause();
                       },
                       "'/opt/quorrix/bin/quorrix-systeminfo'"};
}

}  // namespace testsupport
