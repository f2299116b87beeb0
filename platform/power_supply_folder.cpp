// The battery interface over /sys/class/power_supply. Each supply is a folder of attribute
// files (one value each, with a line feed) and a uevent file that lists the same values as
// POWER_SUPPLY_<NAME>=value lines.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "platform/battery_system.h"
#include "platform/linux/power_supply.h"
#include "platform/linux/unique_fd.h"

namespace platform {
namespace {

// sysfs shows at most one page per attribute; a larger file is not an attribute.
constexpr std::size_t kMaxAttributeBytes = 4096;
constexpr std::size_t kMaxUeventBytes = 64 * 1024;

// The whole regular file `name` below the folder `dirFd`, or nullopt when it is missing,
// unreadable, not a regular file or longer than `maxBytes`.
std::optional<std::string> ReadSmallFile(int dirFd, const char* name, std::size_t maxBytes) {
    // O_NONBLOCK: a FIFO in a copied tree must not hang the read.
    CUniqueFd fd(::openat(dirFd, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.Valid()) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    while (bytes.size() <= maxBytes) {
        const ssize_t n = ::read(fd.Get(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) return bytes;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return std::nullopt;
}

// The attributes of one supply folder. An attribute file that is missing or unreadable is
// looked up in the folder's uevent instead, so a copy that kept only uevent files still
// reads; the uevent is read once per reader, on first need.
class CAttributeReader {
public:
    explicit CAttributeReader(int dirFd) : m_hDir(dirFd) {}

    std::optional<std::string> Get(std::string_view name) {
        const std::string file(name);
        if (const auto text = ReadSmallFile(m_hDir, file.c_str(), kMaxAttributeBytes)) {
            return std::string(power_supply::StripLineEnd(*text));
        }
        if (!m_bUeventRead) {
            m_uevent = ReadSmallFile(m_hDir, "uevent", kMaxUeventBytes);
            m_bUeventRead = true;
        }
        if (!m_uevent) return std::nullopt;
        return power_supply::UeventValue(*m_uevent, name);
    }

    power_supply::Attributes AsAttributes() {
        return [this](std::string_view name) { return Get(name); };
    }

private:
    int m_hDir;  // not owned
    bool m_bUeventRead = false;
    std::optional<std::string> m_uevent;
};

// One opened supply folder; the folder stays open for the device's life, so a battery whose
// folder disappears (removed, driver unloaded) fails every later request.
class CSysfsBatteryDevice final : public IBatteryDevice {
public:
    explicit CSysfsBatteryDevice(CUniqueFd dir) : m_hDir(std::move(dir)) {}

    std::optional<std::uint32_t> QueryTag() override {
        CAttributeReader reader(m_hDir.Get());
        const auto attributes = reader.AsAttributes();
        // A folder without its type is no longer a supply at all.
        if (!attributes("type")) return std::nullopt;
        m_dwTag = power_supply::IsPresent(attributes) ? power_supply::kPresentTag : 0;
        return m_dwTag;
    }

    std::optional<BatteryStatus> QueryStatus(std::uint32_t tag) override {
        CAttributeReader reader(m_hDir.Get());
        const auto attributes = reader.AsAttributes();
        if (!Accepts(tag, attributes)) return std::nullopt;
        return BatteryStatus{power_supply::VoltageMillivolts(attributes)};
    }

    std::optional<BatteryInformation> QueryInformation(std::uint32_t tag) override {
        CAttributeReader reader(m_hDir.Get());
        const auto attributes = reader.AsAttributes();
        if (!Accepts(tag, attributes)) return std::nullopt;
        return power_supply::Information(attributes);
    }

    std::optional<std::string> QueryText(std::uint32_t tag, BatteryText level) override {
        CAttributeReader reader(m_hDir.Get());
        const auto attributes = reader.AsAttributes();
        if (!Accepts(tag, attributes)) return std::nullopt;
        return power_supply::Text(attributes, level);
    }

    std::optional<std::uint32_t> QueryTemperature(std::uint32_t tag) override {
        CAttributeReader reader(m_hDir.Get());
        const auto attributes = reader.AsAttributes();
        if (!Accepts(tag, attributes)) return std::nullopt;
        return power_supply::TemperatureDeciKelvin(attributes);
    }

private:
    // The driver answers only for the tag it issued, and only while that battery is there.
    bool Accepts(std::uint32_t tag, const power_supply::Attributes& attributes) const {
        return tag != 0 && tag == m_dwTag && power_supply::IsSystemBattery(attributes) &&
               power_supply::IsPresent(attributes);
    }

    CUniqueFd m_hDir;
    std::uint32_t m_dwTag = 0;
};

// The supply folders below `root`, in name order, each opened; those that cannot be opened
// as folders are left out. An unreadable or missing root has none.
std::vector<CUniqueFd> OpenSupplies(const std::string& root) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(root, ec), end; !ec && it != end;
         it.increment(ec)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<CUniqueFd> supplies;
    for (const std::string& name : names) {
        CUniqueFd fd(::open((root + "/" + name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd.Valid()) supplies.push_back(std::move(fd));
    }
    return supplies;
}

}  // namespace

CSysfsBatterySystem::CSysfsBatterySystem(std::string root) : m_strRoot(std::move(root)) {}

std::unique_ptr<IBatteryDevice> CSysfsBatterySystem::OpenFirstBattery() {
    for (CUniqueFd& supply : OpenSupplies(m_strRoot)) {
        CAttributeReader reader(supply.Get());
        if (power_supply::IsSystemBattery(reader.AsAttributes())) {
            return std::make_unique<CSysfsBatteryDevice>(std::move(supply));
        }
    }
    return nullptr;
}

std::uint8_t CSysfsBatterySystem::ReadBatteryLifePercent() {
    std::vector<CUniqueFd> supplies = OpenSupplies(m_strRoot);
    std::vector<std::unique_ptr<CAttributeReader>> readers;
    std::vector<power_supply::Attributes> batteries;
    for (const CUniqueFd& supply : supplies) {
        auto reader = std::make_unique<CAttributeReader>(supply.Get());
        const auto attributes = reader->AsAttributes();
        if (power_supply::IsSystemBattery(attributes) && power_supply::IsPresent(attributes)) {
            batteries.push_back(attributes);
            readers.push_back(std::move(reader));
        }
    }
    return power_supply::LifePercent(batteries);
}

}  // namespace platform
