// The battery interface over a power_supply folder. Each supply is a folder of attribute
// files (one value each, with a line feed) and a uevent file that lists the same values as
// POWER_SUPPLY_<NAME>=value lines.
#include "platform/sysfs/power_supply_folder.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/utf8_path.h"
#include "platform/file_io.h"
#include "platform/sysfs/power_supply.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// sysfs shows at most one page per attribute; a larger file is not an attribute.
constexpr std::size_t kMaxAttributeBytes = 4096;
constexpr std::size_t kMaxUeventBytes = 64 * 1024;

// The whole regular file at `path`, or nullopt when it is missing, unreadable, not a regular
// file or longer than `maxBytes`. Only regular files are attributes; neither reader opens
// anything else for reading. A saved copy's file is read as saved data.
std::optional<std::string> ReadSmallFile(const fs::path& path, std::size_t maxBytes, bool saved) {
    const auto bytes = saved ? ReadSavedFileBytes(base::Utf8Of(path), maxBytes)
                             : ReadFileBytes(base::Utf8Of(path), maxBytes);
    if (!bytes || bytes->size() > maxBytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

// The attributes of one supply folder. An attribute file that is missing or unreadable is
// looked up in the folder's uevent instead, so a copy that kept only uevent files still
// reads; the uevent is read once per reader, on first need. Nothing is held open.
class CAttributeReader {
public:
    CAttributeReader(fs::path folder, bool saved) : m_folder(std::move(folder)), m_bSaved(saved) {}

    std::optional<std::string> Get(std::string_view name) {
        if (const auto text = ReadSmallFile(m_folder / name, kMaxAttributeBytes, m_bSaved)) {
            return std::string(power_supply::StripLineEnd(*text));
        }
        if (!m_bUeventRead) {
            m_uevent = ReadSmallFile(m_folder / "uevent", kMaxUeventBytes, m_bSaved);
            m_bUeventRead = true;
        }
        if (!m_uevent) return std::nullopt;
        return power_supply::UeventValue(*m_uevent, name);
    }

    power_supply::Attributes AsAttributes() {
        return [this](std::string_view name) { return Get(name); };
    }

private:
    fs::path m_folder;
    bool m_bSaved;
    bool m_bUeventRead = false;
    std::optional<std::string> m_uevent;
};

// What tells one battery from another in the same slot: its serial number, maker and model.
using BatteryIdentity = std::array<std::optional<std::string>, 3>;

BatteryIdentity ReadIdentity(const power_supply::Attributes& attributes) {
    return {attributes("serial_number"), attributes("manufacturer"), attributes("model_name")};
}

// One supply folder, read afresh on every request. A battery whose folder disappears
// (removed, driver unloaded) fails every later request; a different battery in the slot
// gets a new tag, and requests with the old one fail, as the battery driver does it.
class CPowerSupplyFolderDevice final : public IBatteryDevice {
public:
    CPowerSupplyFolderDevice(fs::path folder, bool saved)
        : m_folder(std::move(folder)), m_bSaved(saved) {}

    std::optional<std::uint32_t> QueryTag() override {
        CAttributeReader reader(m_folder, m_bSaved);
        const auto attributes = reader.AsAttributes();
        // A folder without its type is no longer a supply at all.
        if (!attributes("type")) return std::nullopt;
        if (!power_supply::IsPresent(attributes)) {
            m_dwTag = 0;
            return m_dwTag;
        }
        BatteryIdentity identity = ReadIdentity(attributes);
        if (m_dwTag == 0 || identity != m_identity) {
            m_dwTag = m_dwNextTag;
            if (++m_dwNextTag == 0) m_dwNextTag = power_supply::kPresentTag;  // 0 is "no battery"
            m_identity = std::move(identity);
        }
        return m_dwTag;
    }

    std::optional<BatteryStatus> QueryStatus(std::uint32_t tag) override {
        CAttributeReader reader(m_folder, m_bSaved);
        const auto attributes = reader.AsAttributes();
        if (!Accepts(tag, attributes)) return std::nullopt;
        return BatteryStatus{power_supply::VoltageMillivolts(attributes)};
    }

    std::optional<BatteryInformation> QueryInformation(std::uint32_t tag) override {
        CAttributeReader reader(m_folder, m_bSaved);
        const auto attributes = reader.AsAttributes();
        if (!Accepts(tag, attributes)) return std::nullopt;
        return power_supply::Information(attributes);
    }

    std::optional<std::string> QueryText(std::uint32_t tag, BatteryText level) override {
        CAttributeReader reader(m_folder, m_bSaved);
        const auto attributes = reader.AsAttributes();
        if (!Accepts(tag, attributes)) return std::nullopt;
        return power_supply::Text(attributes, level);
    }

    std::optional<std::uint32_t> QueryTemperature(std::uint32_t tag) override {
        CAttributeReader reader(m_folder, m_bSaved);
        const auto attributes = reader.AsAttributes();
        if (!Accepts(tag, attributes)) return std::nullopt;
        return power_supply::TemperatureDeciKelvin(attributes);
    }

private:
    // The driver answers only for the tag it issued, and only while that battery is there.
    bool Accepts(std::uint32_t tag, const power_supply::Attributes& attributes) const {
        return tag != 0 && tag == m_dwTag && power_supply::IsSystemBattery(attributes) &&
               power_supply::IsPresent(attributes) && ReadIdentity(attributes) == m_identity;
    }

    fs::path m_folder;
    bool m_bSaved;
    std::uint32_t m_dwTag = 0;
    std::uint32_t m_dwNextTag = power_supply::kPresentTag;
    BatteryIdentity m_identity;
};

// The supply folders below `root`, in name order, each seen through the opened entry. Live
// supplies are symbolic links to their device's folder and are followed; a saved copy's
// links are not. Anything that is not a folder is left out. An unreadable or missing root
// has none.
std::vector<fs::path> ListSupplies(const fs::path& root, bool saved) {
    std::vector<fs::path> supplies;
    const auto entries = ListFolder(base::Utf8Of(root), !saved);
    if (!entries) return supplies;
    for (const auto& [name, kind] : *entries) {
        if (kind == EntryKind::kFolder) supplies.push_back(root / base::PathOf(name));
    }
    std::sort(supplies.begin(), supplies.end());
    return supplies;
}

// The first supply below `root` that is a system battery.
std::optional<fs::path> FirstBattery(const fs::path& root, bool saved) {
    for (fs::path& supply : ListSupplies(root, saved)) {
        CAttributeReader reader(supply, saved);
        if (power_supply::IsSystemBattery(reader.AsAttributes())) return std::move(supply);
    }
    return std::nullopt;
}

}  // namespace

CPowerSupplyFolderSystem::CPowerSupplyFolderSystem(std::string root, bool saved)
    : m_strRoot(std::move(root)), m_bSaved(saved) {}

std::unique_ptr<IBatteryDevice> CPowerSupplyFolderSystem::OpenFirstBattery() {
    auto supply = FirstBattery(base::PathOf(m_strRoot), m_bSaved);
    if (!supply) return nullptr;
    return std::make_unique<CPowerSupplyFolderDevice>(std::move(*supply), m_bSaved);
}

std::uint8_t CPowerSupplyFolderSystem::ReadBatteryLifePercent() {
    // The readers of the counted batteries keep only their folder's path and uevent text.
    std::vector<std::unique_ptr<CAttributeReader>> readers;
    std::vector<power_supply::Attributes> batteries;
    for (fs::path& supply : ListSupplies(base::PathOf(m_strRoot), m_bSaved)) {
        auto reader = std::make_unique<CAttributeReader>(std::move(supply), m_bSaved);
        const auto attributes = reader->AsAttributes();
        if (power_supply::IsSystemBattery(attributes) && power_supply::IsPresent(attributes)) {
            batteries.push_back(attributes);
            readers.push_back(std::move(reader));
        }
    }
    return power_supply::LifePercent(batteries);
}

std::optional<std::string> FirstBatteryFolder(const std::string& root, bool saved) {
    const auto supply = FirstBattery(base::PathOf(root), saved);
    if (!supply) return std::nullopt;
    return base::Utf8Of(*supply);
}

}  // namespace platform
