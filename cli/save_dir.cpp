#include "cli/save_dir.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/ata_commands.h"
#include "platform/file_io.h"
#include "platform/nvme_commands.h"
#include "platform/sysfs/power_supply.h"
#include "platform/sysfs/power_supply_folder.h"
#include "platform/sysfs/smbios_entry_point.h"
#include "platform/system_sources.h"
#include "smbios/smbios.h"

namespace cli {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kMaxEntryPointBytes = 4096;
constexpr std::size_t kMaxAttributeBytes = 64 * 1024;

using Files = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

// `folder`/`name`, or `name` alone at the top of the saved folder.
std::string Below(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "/" + name;
}

std::vector<std::uint8_t> Text(const std::string& value) {
    std::vector<std::uint8_t> bytes(value.begin(), value.end());
    bytes.push_back('\n');
    return bytes;
}

// The entry point of the named source when it is there and gives the table's own version.
std::optional<std::vector<std::uint8_t>> OriginalEntryPoint(const ReportOptions& options,
                                                            const CSMBios& smbios) {
    std::string dir;
    if (options.dmiDir) {
        dir = *options.dmiDir;
    } else if (!NamesSavedData(options)) {
        dir = platform::LiveDmiFolder().value_or("");
    }
    if (dir.empty()) return std::nullopt;
    const bool named = options.dmiDir.has_value();
    for (const char* name : {"smbios_entry_point", "entry_point"}) {
        auto bytes = named ? platform::ReadSavedFileBytes(dir + "/" + name, kMaxEntryPointBytes)
                           : platform::ReadFileBytes(dir + "/" + name, kMaxEntryPointBytes);
        if (!bytes || bytes->size() > kMaxEntryPointBytes) continue;
        const auto entry = platform::ParseEntryPoint(*bytes);
        if (entry && entry->major == smbios.m_byTableMajor && entry->minor == smbios.m_byTableMinor)
            return bytes;
    }
    return std::nullopt;
}

bool SaveSmbios(const ReportOptions& options, const CSMBios& smbios, platform::ISaveFolder& out,
                std::string* err) {
    const std::uint32_t length = smbios.TableBytes();
    if (length == 0) {
        std::fputs("quorrix-report: --save: no SMBIOS table was read; dmi/ is left out\n", stderr);
        return true;
    }
    if (!out.MakeFolder("dmi", err)) return false;
    const auto entry = OriginalEntryPoint(options, smbios);
    const std::vector<std::uint8_t> table(smbios.m_table.begin(), smbios.m_table.begin() + length);
    return out.WriteFile(
               "dmi/smbios_entry_point",
               entry ? *entry
                     : SynthesizeEntryPoint(smbios.m_byTableMajor, smbios.m_byTableMinor, length),
               err) &&
           out.WriteFile("dmi/DMI", table, err);
}

bool SaveDisk(const GatheredDisk& disk, platform::ISaveFolder& out, std::string* err) {
    const Files files = disk.recorder ? SavedDriveFiles(disk.recorder->Records()) : Files{};
    if (files.empty()) {
        std::fputs(
            "quorrix-report: --save: drive 0 did not answer both of its reads; disk/ is left "
            "out\n",
            stderr);
        return true;
    }
    if (!out.MakeFolder("disk", err)) return false;
    for (const auto& [name, bytes] : files) {
        if (!out.WriteFile("disk/" + name, bytes, err)) return false;
    }
    return true;
}

bool SaveEdid(std::span<const std::uint8_t> panelEdid, platform::ISaveFolder& out,
              std::string* err) {
    if (panelEdid.empty()) {
        std::fputs("quorrix-report: --save: no panel EDID was read; edid.bin is left out\n",
                   stderr);
        return true;
    }
    return out.WriteFile("edid.bin", panelEdid, err);
}

// A file of the supply folder: the live one as the kernel shows it, a saved one only when it
// is a regular file in its own place.
std::optional<std::vector<std::uint8_t>> SupplyFile(const fs::path& path, bool saved) {
    return saved ? platform::ReadSavedFileBytes(Utf8Of(path), kMaxAttributeBytes)
                 : platform::ReadFileBytes(Utf8Of(path), kMaxAttributeBytes);
}

// Copies the regular files of the battery the folder reader opens below `root` into
// out/NAME. The live folder's supplies are links to their devices and are followed; in saved
// data (`saved`) a link is never followed.
bool CopyBatteryFolder(const fs::path& root, bool saved, platform::ISaveFolder& out,
                       const std::string& outFolder, std::string* err) {
    const auto first = platform::FirstBatteryFolder(Utf8Of(root), saved);
    if (!first) return true;
    const fs::path supply = PathOf(*first);
    const std::string dir = Below(outFolder, Utf8Of(supply.filename()));
    if (!out.MakeFolder(dir, err)) return false;
    // Links (device, subsystem) and folders (power, hwmon) are the kernel's, not the
    // battery's; attributes the driver refuses to read are left out.
    const auto files = platform::ListFolder(Utf8Of(supply), false);
    if (!files) return true;
    for (const auto& [file, fileKind] : *files) {
        if (fileKind != platform::EntryKind::kFile) continue;
        const auto bytes = SupplyFile(supply / PathOf(file), saved);
        if (!bytes || bytes->size() > kMaxAttributeBytes) continue;
        if (!out.WriteFile(Below(dir, file), *bytes, err)) return false;
    }
    return true;
}

}  // namespace

bool WriteBatteryFolder(platform::IBatterySystem& batteries, platform::ISaveFolder& out,
                        const std::string& outFolder, std::string* err) {
    const auto device = batteries.OpenFirstBattery();
    if (!device) return true;
    const auto tag = device->QueryTag();
    if (!tag || *tag == 0) return true;
    Files files{{"type", Text("Battery")}, {"present", Text("1")}};
    auto add = [&files](const char* name, const std::string& value) {
        files.emplace_back(name, Text(value));
    };
    using platform::BatteryText;
    if (auto text = device->QueryText(*tag, BatteryText::DeviceName)) add("model_name", *text);
    if (auto text = device->QueryText(*tag, BatteryText::SerialNumber)) add("serial_number", *text);
    if (auto text = device->QueryText(*tag, BatteryText::ManufactureName))
        add("manufacturer", *text);
    if (const auto info = device->QueryInformation(*tag)) {
        if (info->designedCapacity != platform::kBatteryUnknownValue)
            add("energy_full_design", std::to_string(std::uint64_t{info->designedCapacity} * 1000));
        if (info->fullChargedCapacity != platform::kBatteryUnknownValue)
            add("energy_full", std::to_string(std::uint64_t{info->fullChargedCapacity} * 1000));
        add("cycle_count", std::to_string(info->cycleCount));
        static constexpr std::pair<const char*, const char*> kTechnologies[] = {
            {"LION", "Li-ion"}, {"LiP", "Li-poly"}, {"LiFe", "LiFe"},
            {"LiMn", "LiMn"},   {"NiMH", "NiMH"},   {"NiCd", "NiCd"}};
        const std::string code(info->chemistry.begin(),
                               std::find(info->chemistry.begin(), info->chemistry.end(), 0));
        for (const auto& [from, to] : kTechnologies) {
            if (code == from) add("technology", to);
        }
    }
    if (const auto status = device->QueryStatus(*tag);
        status && status->voltage != platform::kBatteryUnknownValue)
        add("voltage_now", std::to_string(std::uint64_t{status->voltage} * 1000));
    if (const auto kelvin = device->QueryTemperature(*tag))
        add("temp", std::to_string(static_cast<long long>(*kelvin) - 2732));
    const std::uint8_t life = batteries.ReadBatteryLifePercent();
    if (life <= 100) add("capacity", std::to_string(life));
    const std::string dir = Below(outFolder, "BAT0");
    if (!out.MakeFolder(dir, err)) return false;
    for (const auto& [name, bytes] : files) {
        if (!out.WriteFile(Below(dir, name), bytes, err)) return false;
    }
    return true;
}

namespace {

bool SaveBattery(const ReportOptions& options, const GatheredBattery& battery,
                 platform::ISaveFolder& out, std::string* err) {
    const std::string dir = "power_supply";
    if (!out.MakeFolder(dir, err)) return false;
    if (options.powerSupply)
        return CopyBatteryFolder(PathOf(*options.powerSupply), true, out, dir, err);
    if (NamesSavedData(options) || !battery.batteries) return true;
    // Where the system publishes its batteries as a folder, that folder is copied as it is;
    // elsewhere the battery's answers are written in its shape.
    if (const auto live = platform::LivePowerSupplyFolder())
        return CopyBatteryFolder(PathOf(*live), false, out, dir, err);
    return WriteBatteryFolder(*battery.batteries, out, dir, err);
}

}  // namespace

std::vector<std::uint8_t> SynthesizeEntryPoint(std::uint8_t major, std::uint8_t minor,
                                               std::uint32_t tableBytes) {
    std::vector<std::uint8_t> entry(0x18, 0);
    const char anchor[] = "_SM3_";
    std::copy(anchor, anchor + 5, entry.begin());
    entry[0x06] = 0x18;  // length
    entry[0x07] = major;
    entry[0x08] = minor;
    entry[0x0A] = 0x01;  // entry point revision: SMBIOS 3.0
    for (std::size_t i = 0; i < 4; ++i)
        entry[0x0C + i] = static_cast<std::uint8_t>(tableBytes >> (8 * i));
    // The table address stays 0: the table is the DMI file beside it.
    std::uint8_t sum = 0;
    for (std::uint8_t byte : entry) sum = static_cast<std::uint8_t>(sum + byte);
    entry[0x05] = static_cast<std::uint8_t>(0x100 - sum);
    return entry;
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> SavedDriveFiles(
    const std::vector<platform::DriveRecord>& records) {
    const auto record = std::find_if(records.begin(), records.end(),
                                     [](const auto& r) { return r.number == 0 && r.bOpened; });
    if (record == records.end()) return {};
    const std::vector<std::uint8_t>* first = nullptr;
    const std::vector<std::uint8_t>* second = nullptr;
    const std::vector<std::uint8_t>* nameSpace = nullptr;
    using platform::DriveCallKind;
    for (const platform::DriveCall& call : record->calls) {
        if (!call.bOk) continue;
        if (record->bNvme) {
            if (call.kind == DriveCallKind::kNvmeIdentify) first = &call.data;
            if (call.kind == DriveCallKind::kNvmeGetLogPage && call.logId == 0x02)
                second = &call.data;
            if (call.kind == DriveCallKind::kNvmeIdentifyNamespace &&
                call.nsid == platform::kNvmeFirstNamespace)
                nameSpace = &call.data;
        } else if (call.kind == DriveCallKind::kReceiveData) {
            if (call.regs.command == platform::kAtaIdentifyDevice) first = &call.data;
            if (platform::IsSmartCommand(call.regs, platform::kSmartReadData)) second = &call.data;
        }
    }
    if (!first || !second) return {};
    if (record->bNvme) {
        Files files{{"id-ctrl.bin", *first}, {"smart-log.bin", *second}};
        if (nameSpace) files.emplace_back("id-ns.bin", *nameSpace);
        return files;
    }
    return {{"identify.bin", *first}, {"smart.bin", *second}};
}

bool ResolveFrom(ReportOptions* options, std::string* err) {
    const fs::path dir = PathOf(*options->from);
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        *err = *options->from + ": not a folder of saved data";
        return false;
    }
    // A part that is a link could lead anywhere: the saved folder holds its parts itself.
    bool linked = false;
    auto part = [&](const char* name, std::optional<std::string>* option) {
        const fs::path sub = dir / name;
        const fs::file_status status = fs::symlink_status(sub, ec);
        if (fs::is_symlink(status) && !linked) {
            linked = true;
            *err = Utf8Of(sub) + ": is a link; a folder of saved data holds its parts itself";
        }
        if (fs::exists(status)) *option = Utf8Of(sub);
    };
    part("dmi", &options->dmiDir);
    part("disk", &options->diskDump);
    part("power_supply", &options->powerSupply);
    part("edid.bin", &options->edid);
    if (linked) return false;
    if (!options->dmiDir && !options->diskDump && !options->powerSupply && !options->edid) {
        *err = *options->from + ": holds none of dmi, disk, power_supply and edid.bin";
        return false;
    }
    return true;
}

bool SaveTo(const ReportOptions& options, const CSMBios& smbios, const GatheredDisk& disk,
            const GatheredBattery& battery, std::span<const std::uint8_t> panelEdid,
            std::string* err) {
    const std::string& name = *options.save;
    std::error_code ec;
    // For the messages only: the rename at the end replaces nothing but an empty folder.
    const fs::file_status status = fs::symlink_status(PathOf(name), ec);
    if (fs::exists(status)) {
        if (!fs::is_directory(status)) {
            *err = name + ": exists and is not a folder";
            return false;
        }
        if (!fs::is_empty(PathOf(name), ec) || ec) {
            *err = name + ": exists and is not empty";
            return false;
        }
    }
    const auto folder = platform::BeginSaveFolder(name, err);
    if (!folder) return false;
    return SaveSmbios(options, smbios, *folder, err) && SaveDisk(disk, *folder, err) &&
           SaveBattery(options, battery, *folder, err) && SaveEdid(panelEdid, *folder, err) &&
           folder->Finish(err);
}

}  // namespace cli
