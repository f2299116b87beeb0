// Decodes the tables captured from real machines and compares the texts with dmidecode's
// decoding of the same bytes (dmidecode.txt beside each table).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "platform/smbios_source.h"
#include "platform/sysfs/dmi_folder_source.h"
#include "smbios/smbios.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// One structure as dmidecode prints it: its type and its first-level "Name: value" lines.
struct DmiBlock {
    int type = -1;
    int length = 0;
    std::map<std::string, std::string> attrs;

    std::optional<std::string> Get(const std::string& key) const {
        auto it = attrs.find(key);
        if (it == attrs.end()) return std::nullopt;
        return it->second;
    }
};

struct DmiDecodeOutput {
    int major = -1;
    int minor = -1;
    std::vector<DmiBlock> blocks;

    const DmiBlock* Last(int type) const {
        for (auto it = blocks.rbegin(); it != blocks.rend(); ++it)
            if (it->type == type) return &*it;
        return nullptr;
    }
};

DmiDecodeOutput ReadDmiDecode(const fs::path& path) {
    DmiDecodeOutput out;
    std::ifstream in(path, std::ios::binary);
    const std::regex handle(R"(Handle 0x[0-9A-Fa-f]+, DMI type (\d+), (\d+) bytes)");
    const std::regex version(R"(SMBIOS (\d+)\.(\d+)(\.\d+)? present\.)");
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, version)) {
            out.major = std::stoi(m[1]);
            out.minor = std::stoi(m[2]);
        } else if (std::regex_match(line, m, handle)) {
            out.blocks.push_back({std::stoi(m[1]), std::stoi(m[2]), {}});
        } else if (!out.blocks.empty() && line.size() > 1 && line[0] == '\t' && line[1] != '\t') {
            const std::size_t colon = line.find(": ");
            if (colon != std::string::npos) {
                out.blocks.back().attrs.emplace(line.substr(1, colon - 1), line.substr(colon + 2));
            }
        }
    }
    return out;
}

// dmidecode names string number 0 "Not Specified" and a number past the set "<BAD INDEX>";
// the decoder gives an empty text for both.
void ExpectString(const std::string& have, const std::optional<std::string>& dmidecode,
                  const std::string& what) {
    const std::string want = dmidecode.value_or("");
    if (want == "Not Specified" || want == "<BAD INDEX>") {
        EXPECT_TRUE(have.empty() || have == want) << what << ": " << have;
    } else {
        EXPECT_EQ(have, want) << what;
    }
}

// "<n> <unit>" in KB; nullopt for texts such as "Unknown" or "Not Installed".
std::optional<std::uint64_t> SizeKb(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    std::smatch m;
    static const std::regex size(R"((\d+) (bytes|kB|MB|GB|TB))");
    if (!std::regex_match(*text, m, size)) return std::nullopt;
    const std::uint64_t n = std::stoull(m[1]);
    const std::string unit = m[2];
    if (unit == "bytes") return n / 1024;
    if (unit == "kB") return n;
    if (unit == "MB") return n << 10;
    if (unit == "GB") return n << 20;
    return n << 30;
}

// "2400 MHz" / "2667 MT/s" -> "2400"; "Unknown" (a zero field) -> "0".
std::string LeadingNumber(const std::string& text) {
    if (text == "Unknown") return "0";
    return text.substr(0, text.find(' '));
}

// The page form of dmidecode's UUID text: the 16 bytes as stored, then four groups of
// little-endian 32-bit words (the middle group with its 16-bit halves swapped).
std::optional<std::string> UuidPageText(const std::string& text, int major, int minor) {
    std::vector<std::uint8_t> raw;
    if (text == "Not Present") {
        raw.assign(16, 0xFF);
    } else if (text == "Not Settable") {
        raw.assign(16, 0x00);
    } else {
        std::string hex = text;
        hex.erase(std::remove(hex.begin(), hex.end(), '-'), hex.end());
        if (hex.size() != 32) return std::nullopt;
        for (std::size_t i = 0; i < 32; i += 2)
            raw.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
        // From SMBIOS 2.6 on the first three fields are stored little-endian.
        if (major > 2 || (major == 2 && minor >= 6)) {
            std::reverse(raw.begin(), raw.begin() + 4);
            std::reverse(raw.begin() + 4, raw.begin() + 6);
            std::reverse(raw.begin() + 6, raw.begin() + 8);
        }
    }
    const auto le32 = [&](std::size_t i) { return unsigned{base::LoadLe32(raw, i)}; };
    const auto le16 = [&](std::size_t i) { return unsigned{base::LoadLe16(raw, i)}; };
    char out[40];
    std::snprintf(out, sizeof out, "%08x-%04x%04x-%08x-%08x", le32(0), le16(6), le16(4), le32(8),
                  le32(12));
    return std::string(out);
}

std::string MemoryTypeFromDmiDecode(const std::optional<std::string>& text) {
    static const std::map<std::string, std::string> names = {
        {"Other", "other"},   {"Unknown", "unknown"},
        {"DRAM", "dram"},     {"EDRAM", "edram"},
        {"VRAM", "vram"},     {"SRAM", "sram"},
        {"RAM", "ram"},       {"ROM", "rom"},
        {"Flash", "flash"},   {"EEPROM", "eeprom"},
        {"FEPROM", "feprom"}, {"EPROM", "eprom"},
        {"CDRAM", "cdram"},   {"3DRAM", "3dram"},
        {"SDRAM", "sdram"},   {"SGRAM", "sgram"},
        {"RDRAM", "rdram"},   {"DDR", "ddr"},
        {"DDR2", "DDR2"},     {"DDR2 FB-DIMM", "ddr2 fb-dimm"},
        {"DDR3", "DDR3"},     {"FBD2", "FBD2"}};
    // From 0x1A (DDR4) on, the page shows the names as dmidecode does.
    static const std::set<std::string> later = {
        "DDR4", "LPDDR", "LPDDR2", "LPDDR3", "LPDDR4", "Logical non-volatile device",
        "HBM",  "HBM2",  "DDR5",   "LPDDR5", "HBM3"};
    if (!text) return "";
    if (later.contains(*text)) return *text;
    auto it = names.find(*text);
    return it == names.end() ? "unknown" : it->second;
}

void CompareWithDmiDecode(const fs::path& dir) {
    SCOPED_TRACE(dir.string());
    const DmiDecodeOutput dmi = ReadDmiDecode(dir / "dmidecode.txt");
    ASSERT_GE(dmi.major, 2);
    ASSERT_FALSE(dmi.blocks.empty());

    platform::CDmiFolderSmbiosSource source(dir.string());
    auto s = std::make_unique<CSMBios>(
        source, [](std::string_view, std::string_view) { ADD_FAILURE() << "unexpected message"; });
    EXPECT_EQ(s->m_byMajorVersion, dmi.major);
    EXPECT_EQ(s->m_byMinorVersion, dmi.minor);

    if (const DmiBlock* bios = dmi.Last(0)) {
        ExpectString(s->m_strBiosVendor, bios->Get("Vendor"), "BIOS vendor");
        ExpectString(s->m_strBiosVersion, bios->Get("Version"), "BIOS version");
        ExpectString(s->m_strBiosDate, bios->Get("Release Date"), "BIOS date");
        if (auto kb = SizeKb(bios->Get("ROM Size"))) {
            EXPECT_EQ(s->m_strBiosRomSize, std::to_string(*kb)) << "ROM size";
        }
    }
    if (const DmiBlock* system = dmi.Last(1)) {
        ExpectString(s->m_strSystemManufacturer, system->Get("Manufacturer"), "system maker");
        ExpectString(s->m_strSystemProduct, system->Get("Product Name"), "product");
        ExpectString(s->m_strSystemVersion, system->Get("Version"), "system version");
        ExpectString(s->m_strSystemSerial, system->Get("Serial Number"), "system serial");
        ExpectString(s->m_strSystemSku, system->Get("SKU Number"), "SKU");
        ExpectString(s->m_strSystemFamily, system->Get("Family"), "family");
        if (auto uuid = system->Get("UUID")) {
            EXPECT_EQ(s->m_strSystemUuid, UuidPageText(*uuid, dmi.major, dmi.minor)) << *uuid;
        } else {
            EXPECT_EQ(s->m_strSystemUuid, "");
        }
    }
    if (const DmiBlock* board = dmi.Last(2)) {
        ExpectString(s->m_strBoardManufacturer, board->Get("Manufacturer"), "board maker");
        ExpectString(s->m_strBoardProduct, board->Get("Product Name"), "board product");
        ExpectString(s->m_strBoardVersion, board->Get("Version"), "board version");
        ExpectString(s->m_strBoardSerial, board->Get("Serial Number"), "board serial");
    }
    if (const DmiBlock* cpu = dmi.Last(4)) {
        ExpectString(s->m_strCpuManufacturer, cpu->Get("Manufacturer"), "CPU maker");
        ExpectString(s->m_strCpuVersion, cpu->Get("Version"), "CPU version");
        if (auto v = cpu->Get("Max Speed")) {
            EXPECT_EQ(s->m_strCpuMaxSpeed, LeadingNumber(*v));
        }
        if (auto v = cpu->Get("External Clock")) {
            EXPECT_EQ(s->m_strCpuExternalClock, LeadingNumber(*v));
        }
        if (auto v = cpu->Get("Core Count")) {
            EXPECT_EQ(s->m_strCpuCores, *v);
        }
        if (auto v = cpu->Get("Thread Count")) {
            EXPECT_EQ(s->m_strCpuThreads, *v);
        }
        if (cpu->length < 0x24) {
            EXPECT_EQ(s->m_strCpuCores, "");
        }
    }

    // Caches: the last structure of each level.
    std::map<int, std::optional<std::string>> caches;
    for (const DmiBlock& b : dmi.blocks) {
        if (b.type != 7) continue;
        std::smatch m;
        const std::string configuration = b.Get("Configuration").value_or("");
        static const std::regex level(R"(Level (\d))");
        if (!std::regex_search(configuration, m, level)) continue;
        const std::string installed = b.Get("Installed Size").value_or("");
        std::optional<std::string> want;
        // With a Cache Size 2 field (length 0x1B on) dmidecode shows that one instead of the
        // 16-bit field the pages use; a 0 there beside a filled 16-bit field is no verdict.
        if (installed == "Not Installed" && b.length < 0x1B) want = "0";
        if (auto kb = SizeKb(installed); kb && (*kb != 0 || b.length < 0x1B))
            want = std::to_string(*kb);
        caches[std::stoi(m[1])] = want;
    }
    const std::string* levels[] = {&s->m_strL1Cache, &s->m_strL2Cache, &s->m_strL3Cache};
    for (int lvl = 1; lvl <= 3; ++lvl) {
        auto it = caches.find(lvl);
        if (it == caches.end()) {
            EXPECT_EQ(*levels[lvl - 1], "") << "L" << lvl;
        } else if (it->second) {
            EXPECT_EQ(*levels[lvl - 1], *it->second) << "L" << lvl;
        }
    }

    // Memory devices: every populated one, in table order.
    std::vector<const DmiBlock*> modules;
    for (const DmiBlock& b : dmi.blocks) {
        if (b.type != 17) continue;
        const std::string size = b.Get("Size").value_or("");
        if (size.starts_with("No Module Installed") || size.empty()) continue;
        modules.push_back(&b);
    }
    ASSERT_EQ(s->m_nMemoryCount, static_cast<int>(modules.size()));
    ASSERT_EQ(s->m_memory.size(), modules.size());
    for (std::size_t i = 0; i < modules.size(); ++i) {
        SCOPED_TRACE("memory device " + std::to_string(i));
        const DmiBlock& b = *modules[i];
        const MemoryDeviceText& r = s->m_memory[i];
        if (auto kb = SizeKb(b.Get("Size"))) {
            EXPECT_EQ(r.strSize, std::to_string(*kb / 1024));
        }
        EXPECT_EQ(r.strType, MemoryTypeFromDmiDecode(b.Get("Type")));
        const auto speed = b.Get("Speed");
        EXPECT_EQ(r.strSpeed, speed ? LeadingNumber(*speed) : "");
        ExpectString(r.strManufacturer, b.Get("Manufacturer"), "module maker");
        ExpectString(r.strSerialNumber, b.Get("Serial Number"), "module serial");
        ExpectString(r.strPartNumber, b.Get("Part Number"), "module part");
    }

    if (const DmiBlock* battery = dmi.Last(22)) {
        const auto voltage = battery->Get("Design Voltage");
        ASSERT_TRUE(voltage);
        char volts[32];
        const std::string mv = LeadingNumber(*voltage);
        std::snprintf(volts, sizeof volts, "%f", std::stod(mv) / 1000.0);
        EXPECT_EQ(s->m_strBatteryDesignVoltage, volts);
        if (auto date = battery->Get("Manufacture Date")) {
            EXPECT_EQ(s->m_strBatteryDate, *date);
        } else if (auto sbds = battery->Get("SBDS Manufacture Date")) {
            int y = 0, m = 0, d = 0;
            ASSERT_EQ(std::sscanf(sbds->c_str(), "%d-%d-%d", &y, &m, &d), 3);
            EXPECT_EQ(s->m_strBatteryDate,
                      std::to_string(y) + "-" + std::to_string(m) + "-" + std::to_string(d));
        }
    } else {
        EXPECT_EQ(s->m_strBatteryDate, "");
        EXPECT_EQ(s->m_strBatteryDesignVoltage, "");
    }
}

TEST(SmbiosFixtures, RealTablesMatchDmiDecode) {
    const fs::path root = testsupport::FixturesDir();
    if (root.empty() || !fs::is_directory(root / "smbios")) GTEST_SKIP() << "no SMBIOS fixtures";
    std::vector<fs::path> dirs;
    for (const auto& entry : fs::recursive_directory_iterator(root / "smbios")) {
        const fs::path dir = entry.path();
        if (entry.is_directory() && fs::exists(dir / "DMI") && fs::exists(dir / "entry_point") &&
            fs::exists(dir / "dmidecode.txt"))
            dirs.push_back(dir);
    }
    std::sort(dirs.begin(), dirs.end());
    if (dirs.empty()) GTEST_SKIP() << "no SMBIOS fixtures";
    for (const fs::path& dir : dirs) CompareWithDmiDecode(dir);
    RecordProperty("machines", static_cast<int>(dirs.size()));
}

}  // namespace
