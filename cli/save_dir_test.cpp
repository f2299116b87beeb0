// --save and --from: what is saved reads back into the same pages, and a failed or refused
// save leaves nothing behind.
#include "cli/save_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/panel_input.h"
#include "pages/page_dispatch.h"
#include "platform/fake/fake_battery_system.h"
#include "platform/file_io.h"
#include "platform/sysfs/power_supply_folder.h"
#include "platform/sysfs/smbios_entry_point.h"
#include "smbios/smbios.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A type-0 BIOS structure with its three strings, then the end-of-table structure.
std::vector<std::uint8_t> Table() {
    std::vector<std::uint8_t> table{0, 0x18, 0, 0, 1, 2, 0, 0xE8, 3, 0x3F};
    table.resize(0x18, 0);
    for (const char* s : {"Orchid Firmware", "Q7.42", "11/30/2023"}) {
        const std::string text(s);
        table.insert(table.end(), text.begin(), text.end());
        table.push_back(0);
    }
    table.push_back(0);
    for (std::uint8_t b : {127, 4, 1, 0, 0, 0}) table.push_back(b);
    return table;
}

std::vector<std::uint8_t> SmbiosTwoEntryPoint(std::size_t tableBytes) {
    std::vector<std::uint8_t> entry(0x1F, 0);
    const std::string anchor = "_SM_";
    std::copy(anchor.begin(), anchor.end(), entry.begin());
    entry[0x05] = 0x1F;
    entry[0x06] = 2;
    entry[0x07] = 8;
    const std::string dmi = "_DMI_";
    std::copy(dmi.begin(), dmi.end(), entry.begin() + 0x10);
    entry[0x16] = static_cast<std::uint8_t>(tableBytes);
    entry[0x17] = static_cast<std::uint8_t>(tableBytes >> 8);
    return entry;
}

// A machine's saved data: a 2.8 table, an ATA drive and one battery beside a mains supply
// and a supply that is no battery.
void BuildSource(const testsupport::CTempDir& dir) {
    dir.Write("dmi/smbios_entry_point", SmbiosTwoEntryPoint(Table().size()));
    dir.Write("dmi/DMI", Table());
    std::vector<std::uint8_t> identify(512, 0x20);
    identify[0] = 0x40;
    for (std::size_t i = 0; i < 8; ++i) identify[54 + (i ^ 1)] = "ORCHIDSD"[i];
    dir.Write("disk/identify.bin", identify);
    std::vector<std::uint8_t> smart(512, 0);
    smart[2] = 9;  // power-on hours
    smart[2 + 5] = 42;
    dir.Write("disk/smart.bin", smart);
    dir.Write("power_supply/AC/type", "Mains\n");
    // Comes first by name, but its type file is too long to be an attribute: the reader does
    // not take it for a battery, and neither may what saves the battery.
    dir.Write("power_supply/BAT0/type", "Battery" + std::string(5000, ' ') + "\n");
    for (const auto& [name, value] : {std::pair{"type", "Battery"},
                                      {"model_name", "OB-3C"},
                                      {"manufacturer", "Orchid"},
                                      {"serial_number", "77"},
                                      {"energy_full_design", "56000000"},
                                      {"energy_full", "48000000"},
                                      {"cycle_count", "12"},
                                      {"technology", "Li-ion"},
                                      {"voltage_now", "12012000"},
                                      {"capacity", "80"},
                                      {"temp", "301"}})
        dir.Write(std::string("power_supply/BAT1/") + name, std::string(value) + "\n");
    dir.Write("power_supply/BAT1/power/runtime_status", "unsupported\n");
}

struct Report {
    std::unique_ptr<CSMBios> smbios;
    cli::GatheredDisk disk;
    cli::GatheredBattery battery;
    std::vector<std::string> pages;
};

Report Gather(const cli::ReportOptions& options) {
    Report report;
    std::string err;
    report.smbios = cli::GatherSmbios(options, &err);
    EXPECT_TRUE(report.smbios) << err;
    report.disk = cli::GatherDisk(options, &err);
    EXPECT_TRUE(report.disk.hdSmart) << err;
    report.battery = cli::GatherBattery(options, &err);
    EXPECT_TRUE(report.battery.battery) << err;
    if (!report.smbios || !report.disk.hdSmart || !report.battery.battery) return report;
    pages::CPageStrings strings;
    const pages::PageSources sources{report.smbios.get(), report.disk.hdSmart.get(),
                                     report.battery.battery.get()};
    for (int position = 0; position < pages::kTextPageCount; ++position)
        report.pages.push_back(pages::BuildTextPage(position, sources, &strings));
    return report;
}

cli::ReportOptions SourceOptions(const testsupport::CTempDir& source) {
    cli::ReportOptions options;
    options.dmiDir = (source.Path() / "dmi").string();
    options.diskDump = (source.Path() / "disk").string();
    options.powerSupply = (source.Path() / "power_supply").string();
    return options;
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SaveDir, WhatIsSavedReadsBackIntoTheSamePages) {
    testsupport::CTempDir source;
    BuildSource(source);
    testsupport::CTempDir work;
    cli::ReportOptions options = SourceOptions(source);
    options.save = (work.Path() / "laptop").string();
    const Report first = Gather(options);
    std::string err;
    ASSERT_TRUE(cli::SaveTo(options, *first.smbios, first.disk, first.battery, {}, &err)) << err;

    const fs::path saved = work.Path() / "laptop";
    EXPECT_EQ(Names(work.Path()), std::vector<std::string>{"laptop"});  // no temporary left
    EXPECT_EQ(Names(saved), (std::vector<std::string>{"disk", "dmi", "power_supply"}));
    auto read = [](const fs::path& path) {
        return *platform::ReadFileBytes(path.string(), 1 << 20);
    };
    // The source's own entry point, the table, the drive's replies, and the battery's
    // regular files only (not the mains supply, not its power/ folder).
    EXPECT_EQ(read(saved / "dmi/smbios_entry_point"), SmbiosTwoEntryPoint(Table().size()));
    EXPECT_EQ(read(saved / "dmi/DMI"), Table());
    EXPECT_EQ(read(saved / "disk/identify.bin"), read(source.Path() / "disk/identify.bin"));
    EXPECT_EQ(read(saved / "disk/smart.bin"), read(source.Path() / "disk/smart.bin"));
    EXPECT_EQ(Names(saved / "power_supply"), std::vector<std::string>{"BAT1"});
    EXPECT_EQ(Names(saved / "power_supply/BAT1").size(), 11u);

    cli::ReportOptions from;
    from.from = saved.string();
    ASSERT_TRUE(cli::ResolveFrom(&from, &err)) << err;
    const Report second = Gather(from);
    ASSERT_EQ(second.pages.size(), first.pages.size());
    for (std::size_t i = 0; i < first.pages.size(); ++i)
        EXPECT_EQ(second.pages[i], first.pages[i]) << i;
    EXPECT_NE(first.pages[0].find("Orchid Firmware"), std::string::npos);
    EXPECT_NE(first.pages[5].find("ORCHIDSD"), std::string::npos);
    EXPECT_NE(first.pages[6].find("OB-3C"), std::string::npos);
}

TEST(SaveDir, ARefusedOrFailedSaveLeavesNothing) {
    testsupport::CTempDir source;
    BuildSource(source);
    testsupport::CTempDir work;
    cli::ReportOptions options = SourceOptions(source);
    const Report report = Gather(options);
    std::string err;

    work.Write("full/keep", "mine");
    options.save = (work.Path() / "full").string();
    EXPECT_FALSE(cli::SaveTo(options, *report.smbios, report.disk, report.battery, {}, &err));
    EXPECT_NE(err.find("not empty"), std::string::npos);
    EXPECT_EQ(Names(work.Path() / "full"), std::vector<std::string>{"keep"});
    work.Write("file", "x");
    options.save = (work.Path() / "file").string();
    EXPECT_FALSE(cli::SaveTo(options, *report.smbios, report.disk, report.battery, {}, &err));
    options.save = (work.Path() / "missing/deeper").string();
    EXPECT_FALSE(cli::SaveTo(options, *report.smbios, report.disk, report.battery, {}, &err));
    EXPECT_EQ(Names(work.Path()), (std::vector<std::string>{"file", "full"}));

    // An empty folder is taken; so is a save whose drive was not recorded (no --save when
    // it was read): disk/ is left out then.
    fs::create_directory(work.Path() / "empty");
    options.save = (work.Path() / "empty").string();
    ASSERT_TRUE(cli::SaveTo(options, *report.smbios, report.disk, report.battery, {}, &err)) << err;
    EXPECT_EQ(Names(work.Path() / "empty"), (std::vector<std::string>{"dmi", "power_supply"}));
    EXPECT_EQ(Names(work.Path()), (std::vector<std::string>{"empty", "file", "full"}));

    cli::ReportOptions from;
    from.from = (work.Path() / "full").string();
    EXPECT_FALSE(cli::ResolveFrom(&from, &err));
    from.from = (work.Path() / "file").string();
    EXPECT_FALSE(cli::ResolveFrom(&from, &err));
}

TEST(SaveDir, SynthesizedEntryPointCarriesVersionAndLength) {
    const auto entry = cli::SynthesizeEntryPoint(3, 4, 0x12345);
    ASSERT_EQ(entry.size(), 0x18u);
    const auto parsed = platform::ParseEntryPoint(entry);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->is64Bit);
    EXPECT_EQ(parsed->major, 3);
    EXPECT_EQ(parsed->minor, 4);
    EXPECT_EQ(parsed->tableLength, 0x12345u);
    unsigned sum = 0;
    for (std::uint8_t b : entry) sum += b;
    EXPECT_EQ(sum % 256, 0u);
}

TEST(SaveDir, DriveFilesNeedBothRepliesOfTheirKind) {
    platform::DriveRecord nvme;
    nvme.bOpened = true;
    nvme.bNvme = true;
    platform::DriveCall identify;
    identify.kind = platform::DriveCallKind::kNvmeIdentify;
    identify.bOk = true;
    identify.data.assign(4096, 1);
    platform::DriveCall log;
    log.kind = platform::DriveCallKind::kNvmeGetLogPage;
    log.logId = 0x02;
    log.bOk = false;
    log.data.assign(512, 2);
    nvme.calls = {identify, log};
    EXPECT_TRUE(cli::SavedDriveFiles({nvme}).empty());  // the log failed
    nvme.calls[1].bOk = true;
    const auto files = cli::SavedDriveFiles({nvme});
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].first, "id-ctrl.bin");
    EXPECT_EQ(files[0].second, identify.data);
    EXPECT_EQ(files[1].first, "smart-log.bin");
    EXPECT_EQ(files[1].second, log.data);

    // Namespace 1's Identify Namespace joins them when it answered, and only then.
    platform::DriveCall nameSpace;
    nameSpace.kind = platform::DriveCallKind::kNvmeIdentifyNamespace;
    nameSpace.nsid = 1;
    nameSpace.bOk = false;
    nameSpace.data.assign(4096, 3);
    nvme.calls.push_back(nameSpace);
    EXPECT_EQ(cli::SavedDriveFiles({nvme}).size(), 2u);
    nvme.calls[2].bOk = true;
    const auto withNamespace = cli::SavedDriveFiles({nvme});
    ASSERT_EQ(withNamespace.size(), 3u);
    EXPECT_EQ(withNamespace[2].first, "id-ns.bin");
    EXPECT_EQ(withNamespace[2].second, nameSpace.data);
    nvme.calls[2].nsid = 2;  // another namespace is not namespace 1's size
    EXPECT_EQ(cli::SavedDriveFiles({nvme}).size(), 2u);

    nvme.number = 1;  // only drive 0 is saved
    EXPECT_TRUE(cli::SavedDriveFiles({nvme}).empty());
}

// An NVMe controller that reports no total capacity, with namespace 1 saved beside it, and a
// panel's EDID: --save writes id-ns.bin and edid.bin as read, and --from gives the same
// capacity and the same EDID back.
TEST(SaveDir, TheNamespaceAndThePanelsEdidAreSavedAndReadBack) {
    testsupport::CTempDir source;
    BuildSource(source);
    std::vector<std::uint8_t> idCtrl(4096, 0);
    for (std::size_t i = 0; i < 8; ++i) idCtrl[24 + i] = "ORCHIDNV"[i];  // model
    source.Write("nvme/id-ctrl.bin", idCtrl);
    source.Write("nvme/smart-log.bin", std::vector<std::uint8_t>(512, 0));
    std::vector<std::uint8_t> idNs(4096, 0);
    idNs[3] = 0x10;      // NSZE 10000000h blocks
    idNs[128 + 2] = 12;  // of 4096 bytes: 1099.5 GB
    source.Write("nvme/id-ns.bin", idNs);
    std::vector<std::uint8_t> edid{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    edid.resize(256, 0x5A);  // padded to 256 bytes, as some systems give it
    source.Write("edid.bin", edid);

    testsupport::CTempDir work;
    cli::ReportOptions options = SourceOptions(source);
    options.diskDump = (source.Path() / "nvme").string();
    options.edid = (source.Path() / "edid.bin").string();
    options.save = (work.Path() / "laptop").string();
    const Report first = Gather(options);
    ASSERT_TRUE(first.disk.hdSmart);
    EXPECT_EQ(first.disk.hdSmart->m_strCapacity, "1099.5");
    cli::GatheredPanel panel;
    std::string err;
    ASSERT_TRUE(cli::GatherPanel(options, &panel, &err)) << err;
    ASSERT_TRUE(cli::SaveTo(options, *first.smbios, first.disk, first.battery, panel.bytes, &err))
        << err;

    const fs::path saved = work.Path() / "laptop";
    EXPECT_EQ(Names(saved), (std::vector<std::string>{"disk", "dmi", "edid.bin", "power_supply"}));
    EXPECT_EQ(Names(saved / "disk"),
              (std::vector<std::string>{"id-ctrl.bin", "id-ns.bin", "smart-log.bin"}));
    EXPECT_EQ(*platform::ReadFileBytes((saved / "disk/id-ns.bin").string(), 8192), idNs);
    EXPECT_EQ(*platform::ReadFileBytes((saved / "edid.bin").string(), 8192), edid);

    cli::ReportOptions from;
    from.from = saved.string();
    ASSERT_TRUE(cli::ResolveFrom(&from, &err)) << err;
    const Report second = Gather(from);
    ASSERT_TRUE(second.disk.hdSmart);
    EXPECT_EQ(second.disk.hdSmart->m_strCapacity, "1099.5");
    cli::GatheredPanel back;
    ASSERT_TRUE(cli::GatherPanel(from, &back, &err)) << err;
    EXPECT_EQ(back.bytes, edid);
}

TEST(SaveDir, ABatteryOfTheInterfaceIsWrittenAsTheFolderReaderReadsIt) {
    platform::CFakeBatterySystem fake;
    fake.status = platform::BatteryStatus{11400};
    fake.information = platform::BatteryInformation{50000, 41000, 321, {'L', 'I', 'O', 'N'}};
    fake.texts = {{platform::BatteryText::DeviceName, "OE-3C"},
                  {platform::BatteryText::SerialNumber, "OE-77"},
                  {platform::BatteryText::ManufactureName, "Orchid Energy"},
                  {platform::BatteryText::UniqueId, "OE-77Orchid EnergyOE-3C"}};
    fake.temperature = 3031;
    fake.lifePercent = 64;
    testsupport::CTempDir dir;
    std::string err;
    const std::string saved = (dir.Path() / "ps").string();
    auto out = platform::BeginSaveFolder(saved, &err);
    ASSERT_TRUE(out) << err;
    ASSERT_TRUE(cli::WriteBatteryFolder(fake, *out, "", &err)) << err;
    ASSERT_TRUE(out->Finish(&err)) << err;

    const CBatteryInfo direct(fake);
    platform::CPowerSupplyFolderSystem folder(saved, true);
    const CBatteryInfo back(folder);
    EXPECT_EQ(back.m_strDeviceName, direct.m_strDeviceName);
    EXPECT_EQ(back.m_strSerialNumber, direct.m_strSerialNumber);
    EXPECT_EQ(back.m_strManufacturer, direct.m_strManufacturer);
    EXPECT_EQ(back.m_strUniqueId, direct.m_strUniqueId);
    EXPECT_EQ(back.m_strDesignCapacity, direct.m_strDesignCapacity);
    EXPECT_EQ(back.m_strFullCapacity, direct.m_strFullCapacity);
    EXPECT_EQ(back.m_strCycleCount, direct.m_strCycleCount);
    EXPECT_EQ(back.m_strChemistry, direct.m_strChemistry);
    EXPECT_EQ(back.m_strVoltage, direct.m_strVoltage);
    EXPECT_EQ(back.m_strTemperature, direct.m_strTemperature);
    EXPECT_EQ(back.m_strRemaining, direct.m_strRemaining);
    EXPECT_EQ(back.m_strDeviceName, "OE-3C");

    platform::CFakeBatterySystem none;
    none.bHasBattery = false;
    testsupport::CTempDir empty;
    out = platform::BeginSaveFolder((empty.Path() / "ps").string(), &err);
    ASSERT_TRUE(out) << err;
    ASSERT_TRUE(cli::WriteBatteryFolder(none, *out, "", &err));
    ASSERT_TRUE(out->Finish(&err)) << err;
    EXPECT_TRUE(fs::is_empty(empty.Path() / "ps"));
}

}  // namespace
