#include "cli/save_dir.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/ata_commands.h"
#include "platform/file_io.h"
#include "platform/power_supply.h"
#include "platform/smbios_entry_point.h"
#include "platform/system_sources.h"
#include "smbios/smbios.h"

namespace cli {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kMaxEntryPointBytes = 4096;
constexpr std::size_t kMaxAttributeBytes = 64 * 1024;

using Files = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes, std::string* err) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        *err = Utf8Of(path) + ": cannot be written";
        return false;
    }
    return true;
}

bool MakeFolder(const fs::path& path, std::string* err) {
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec) *err = Utf8Of(path) + ": " + ec.message();
    return !ec;
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
    for (const char* name : {"smbios_entry_point", "entry_point"}) {
        auto bytes = platform::ReadFileBytes(dir + "/" + name, kMaxEntryPointBytes);
        if (!bytes || bytes->size() > kMaxEntryPointBytes) continue;
        const auto entry = platform::ParseEntryPoint(*bytes);
        if (entry && entry->major == smbios.m_byTableMajor && entry->minor == smbios.m_byTableMinor)
            return bytes;
    }
    return std::nullopt;
}

bool SaveSmbios(const ReportOptions& options, const CSMBios& smbios, const fs::path& out,
                std::string* err) {
    const std::uint32_t length = smbios.TableBytes();
    if (length == 0) {
        std::fputs("quorrix-report: --save: no SMBIOS table was read; dmi/ is left out\n", stderr);
        return true;
    }
    const fs::path dir = out / "dmi";
    if (!MakeFolder(dir, err)) return false;
    const auto entry = OriginalEntryPoint(options, smbios);
    const std::vector<std::uint8_t> table(smbios.m_table.begin(), smbios.m_table.begin() + length);
    return WriteFile(
               dir / "smbios_entry_point",
               entry ? *entry
                     : SynthesizeEntryPoint(smbios.m_byTableMajor, smbios.m_byTableMinor, length),
               err) &&
           WriteFile(dir / "DMI", table, err);
}

bool SaveDisk(const GatheredDisk& disk, const fs::path& out, std::string* err) {
    const Files files = disk.recorder ? SavedDriveFiles(disk.recorder->Records()) : Files{};
    if (files.empty()) {
        std::fputs(
            "quorrix-report: --save: drive 0 did not answer both of its reads; disk/ is left "
            "out\n",
            stderr);
        return true;
    }
    const fs::path dir = out / "disk";
    if (!MakeFolder(dir, err)) return false;
    for (const auto& [name, bytes] : files) {
        if (!WriteFile(dir / name, bytes, err)) return false;
    }
    return true;
}

// The attribute `name` of the supply folder `dir`: its file, or its line in uevent.
std::optional<std::string> FolderAttribute(const fs::path& dir, std::string_view name) {
    auto bytes = platform::ReadFileBytes(Utf8Of(dir / std::string(name)), kMaxAttributeBytes);
    if (bytes) {
        std::string text(bytes->begin(), bytes->end());
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text;
    }
    auto uevent = platform::ReadFileBytes(Utf8Of(dir / "uevent"), kMaxAttributeBytes);
    if (!uevent) return std::nullopt;
    return platform::power_supply::UeventValue(std::string(uevent->begin(), uevent->end()), name);
}

// Copies the regular files of the first system battery below `root` (the folder reader's
// choice: name order, type Battery, scope not Device) into out/power_supply/NAME.
bool CopyBatteryFolder(const fs::path& root, const fs::path& out, std::string* err) {
    std::error_code ec;
    std::vector<fs::path> supplies;
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
        supplies.push_back(it->path());
    std::sort(supplies.begin(), supplies.end());
    for (const fs::path& supply : supplies) {
        const platform::power_supply::Attributes attributes = [&supply](std::string_view name) {
            return FolderAttribute(supply, name);
        };
        if (!platform::power_supply::IsSystemBattery(attributes)) continue;
        const fs::path dir = out / supply.filename();
        if (!MakeFolder(dir, err)) return false;
        for (fs::directory_iterator it(supply, ec), end; !ec && it != end; it.increment(ec)) {
            // Links (device, subsystem) and folders (power, hwmon) are the kernel's, not the
            // battery's; attributes the driver refuses to read are left out.
            if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
            const auto bytes = platform::ReadFileBytes(Utf8Of(it->path()), kMaxAttributeBytes);
            if (!bytes || bytes->size() > kMaxAttributeBytes) continue;
            if (!WriteFile(dir / it->path().filename(), *bytes, err)) return false;
        }
        return true;
    }
    return true;
}

}  // namespace

bool WriteBatteryFolder(platform::IBatterySystem& batteries, const fs::path& out,
                        std::string* err) {
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
    const fs::path dir = out / "BAT0";
    if (!MakeFolder(dir, err)) return false;
    for (const auto& [name, bytes] : files) {
        if (!WriteFile(dir / name, bytes, err)) return false;
    }
    return true;
}

namespace {

bool SaveBattery(const ReportOptions& options, const GatheredBattery& battery, const fs::path& out,
                 std::string* err) {
    const fs::path dir = out / "power_supply";
    if (!MakeFolder(dir, err)) return false;
    if (options.powerSupply) return CopyBatteryFolder(PathOf(*options.powerSupply), dir, err);
    if (NamesSavedData(options) || !battery.batteries) return true;
    // Where the system publishes its batteries as a folder, that folder is copied as it is;
    // elsewhere the battery's answers are written in its shape.
    if (const auto live = platform::LivePowerSupplyFolder())
        return CopyBatteryFolder(PathOf(*live), dir, err);
    return WriteBatteryFolder(*battery.batteries, dir, err);
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
    using platform::DriveCallKind;
    for (const platform::DriveCall& call : record->calls) {
        if (!call.bOk) continue;
        if (record->bNvme) {
            if (call.kind == DriveCallKind::kNvmeIdentify) first = &call.data;
            if (call.kind == DriveCallKind::kNvmeGetLogPage && call.logId == 0x02)
                second = &call.data;
        } else if (call.kind == DriveCallKind::kReceiveData) {
            if (call.regs.command == platform::kAtaIdentifyDevice) first = &call.data;
            if (platform::IsSmartCommand(call.regs, platform::kSmartReadData)) second = &call.data;
        }
    }
    if (!first || !second) return {};
    if (record->bNvme) return {{"id-ctrl.bin", *first}, {"smart-log.bin", *second}};
    return {{"identify.bin", *first}, {"smart.bin", *second}};
}

bool ResolveFrom(ReportOptions* options, std::string* err) {
    const fs::path dir = PathOf(*options->from);
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        *err = *options->from + ": not a folder of saved data";
        return false;
    }
    auto part = [&](const char* name, std::optional<std::string>* option) {
        const fs::path sub = dir / name;
        if (fs::exists(fs::symlink_status(sub, ec))) *option = Utf8Of(sub);
    };
    part("dmi", &options->dmiDir);
    part("disk", &options->diskDump);
    part("power_supply", &options->powerSupply);
    part("edid.bin", &options->edid);
    if (!options->dmiDir && !options->diskDump && !options->powerSupply && !options->edid) {
        *err = *options->from + ": holds none of dmi, disk, power_supply and edid.bin";
        return false;
    }
    return true;
}

bool SaveTo(const ReportOptions& options, const CSMBios& smbios, const GatheredDisk& disk,
            const GatheredBattery& battery, std::string* err) {
    const fs::path target = PathOf(*options.save);
    const std::string name = *options.save;
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(target, ec);
    bool replaceEmpty = false;
    if (fs::exists(status)) {
        if (!fs::is_directory(status)) {
            *err = name + ": exists and is not a folder";
            return false;
        }
        if (!fs::is_empty(target, ec) || ec) {
            *err = name + ": exists and is not empty";
            return false;
        }
        replaceEmpty = true;
    }
    fs::path parent = target.parent_path();
    if (parent.empty()) parent = ".";
    std::random_device random;
    fs::path temp;
    for (int attempt = 0; attempt < 8 && temp.empty(); ++attempt) {
        // Built piece by piece: g++ 12 at -O3 warns falsely (-Wrestrict) on "." + string.
        std::string leaf(1, '.');
        leaf += Utf8Of(target.filename());
        leaf += ".partial-";
        leaf += std::to_string(random());
        const fs::path candidate = parent / PathOf(leaf);
        if (fs::create_directory(candidate, ec)) temp = candidate;
    }
    if (temp.empty()) {
        *err = name + ": no temporary folder beside it (" + ec.message() + ")";
        return false;
    }
    bool ok = SaveSmbios(options, smbios, temp, err) && SaveDisk(disk, temp, err) &&
              SaveBattery(options, battery, temp, err);
    if (ok && replaceEmpty) {
        fs::remove(target, ec);
        if (ec) {
            *err = name + ": " + ec.message();
            ok = false;
        }
    }
    if (ok) {
        fs::rename(temp, target, ec);
        if (ec) {
            *err = name + ": " + ec.message();
            ok = false;
        }
    }
    if (!ok) fs::remove_all(temp, ec);
    return ok;
}

}  // namespace cli
