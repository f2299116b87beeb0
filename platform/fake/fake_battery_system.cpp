#include "platform/fake/fake_battery_system.h"

namespace platform {

class CFakeBatterySystem::CDevice final : public IBatteryDevice {
public:
    explicit CDevice(CFakeBatterySystem& system) : m_system(system) { ++m_system.m_nOpenDevices; }
    ~CDevice() override {
        m_system.calls.push_back("Close");
        --m_system.m_nOpenDevices;
    }
    CDevice(const CDevice&) = delete;
    CDevice& operator=(const CDevice&) = delete;

    std::optional<std::uint32_t> QueryTag() override {
        m_system.calls.push_back("Tag");
        return m_system.tag;
    }
    std::optional<BatteryStatus> QueryStatus(std::uint32_t askedTag) override {
        return Answer("Status", askedTag, m_system.status);
    }
    std::optional<BatteryInformation> QueryInformation(std::uint32_t askedTag) override {
        return Answer("Information", askedTag, m_system.information);
    }
    std::optional<std::string> QueryText(std::uint32_t askedTag, BatteryText level) override {
        static constexpr const char* kNames[] = {"Serial", "Manufacturer", "UniqueId", "Name"};
        const auto found = m_system.texts.find(level);
        std::optional<std::string> text;
        if (found != m_system.texts.end()) text = found->second;
        return Answer(std::string("Text ") + kNames[static_cast<int>(level)], askedTag, text);
    }
    std::optional<std::uint32_t> QueryTemperature(std::uint32_t askedTag) override {
        return Answer("Temperature", askedTag, m_system.temperature);
    }

private:
    // Like the driver: a request with tag 0 or a tag it did not issue fails.
    template <typename T>
    std::optional<T> Answer(const std::string& request, std::uint32_t askedTag,
                            const std::optional<T>& reply) {
        m_system.calls.push_back(request + " " + std::to_string(askedTag));
        if (askedTag == 0 || askedTag != m_system.tag) return std::nullopt;
        return reply;
    }

    CFakeBatterySystem& m_system;
};

std::unique_ptr<IBatteryDevice> CFakeBatterySystem::OpenFirstBattery() {
    calls.push_back("Open");
    if (!bHasBattery) return nullptr;
    return std::make_unique<CDevice>(*this);
}

std::uint8_t CFakeBatterySystem::ReadBatteryLifePercent() {
    calls.push_back("LifePercent");
    return lifePercent;
}

}  // namespace platform
