#include "platform/windows/windows_battery_system.h"

#include <utility>

#include "platform/windows/battery_ioctl.h"

namespace platform {
namespace {

namespace ioctl = battery_ioctl;

// One opened battery. Every request offers a buffer of the reply's own size; a reply is
// read only as far as the system says it wrote, and a count beyond the buffer (a driver or
// filter that lies) fails the request rather than letting a parser read past it.
class CWindowsBatteryDevice final : public IBatteryDevice {
public:
    explicit CWindowsBatteryDevice(std::unique_ptr<IBatteryHandle> handle)
        : m_hDevice(std::move(handle)) {}

    std::optional<std::uint32_t> QueryTag() override {
        const auto input = ioctl::BuildTagWait(0);
        std::array<std::uint8_t, ioctl::kTagBytes> output{};
        const auto reply = Send(ioctl::kIoctlQueryTag, input, output);
        return reply ? ioctl::ParseTag(*reply) : std::nullopt;
    }

    std::optional<BatteryStatus> QueryStatus(std::uint32_t tag) override {
        if (tag == 0) return std::nullopt;  // BATTERY_TAG_INVALID: no battery to ask
        const auto input = ioctl::BuildWaitStatus(tag);
        std::array<std::uint8_t, ioctl::kStatusBytes> output{};
        const auto reply = Send(ioctl::kIoctlQueryStatus, input, output);
        return reply ? ioctl::ParseStatus(*reply) : std::nullopt;
    }

    std::optional<BatteryInformation> QueryInformation(std::uint32_t tag) override {
        std::array<std::uint8_t, ioctl::kInformationBytes> output{};
        const auto reply = QueryLevel(tag, ioctl::InformationLevel::Information, output);
        return reply ? ioctl::ParseInformation(*reply) : std::nullopt;
    }

    std::optional<std::string> QueryText(std::uint32_t tag, BatteryText level) override {
        std::array<std::uint8_t, ioctl::kTextReplyBytes> output{};
        const auto reply = QueryLevel(tag, ioctl::LevelOf(level), output);
        if (!reply) return std::nullopt;
        return ioctl::ParseText(*reply);
    }

    std::optional<std::uint32_t> QueryTemperature(std::uint32_t tag) override {
        std::array<std::uint8_t, ioctl::kTemperatureBytes> output{};
        const auto reply = QueryLevel(tag, ioctl::InformationLevel::Temperature, output);
        return reply ? ioctl::ParseTemperature(*reply) : std::nullopt;
    }

private:
    std::optional<std::span<const std::uint8_t>> QueryLevel(std::uint32_t tag,
                                                            ioctl::InformationLevel level,
                                                            std::span<std::uint8_t> output) {
        if (tag == 0) return std::nullopt;
        const auto input = ioctl::BuildQueryInformation(tag, level);
        return Send(ioctl::kIoctlQueryInformation, input, output);
    }

    // The bytes of the reply, or nullopt when the call failed or claims more than `output`.
    std::optional<std::span<const std::uint8_t>> Send(std::uint32_t code,
                                                      std::span<const std::uint8_t> input,
                                                      std::span<std::uint8_t> output) {
        const auto returned = m_hDevice->Control(code, input, output);
        if (!returned || *returned > output.size()) return std::nullopt;
        return std::span<const std::uint8_t>(output.first(*returned));
    }

    std::unique_ptr<IBatteryHandle> m_hDevice;
};

}  // namespace

CWindowsBatterySystem::CWindowsBatterySystem(std::unique_ptr<IBatteryCalls> calls)
    : m_calls(std::move(calls)) {}

std::unique_ptr<IBatteryDevice> CWindowsBatterySystem::OpenFirstBattery() {
    // An empty bay of a two-battery laptop is listed, opens and answers tag 0; the battery is
    // in the first bay whose tag is not 0. A bay that does not open or answer is passed over.
    for (const std::u16string& path : m_calls->BatteryInterfacePaths()) {
        auto handle = m_calls->OpenBattery(path);
        if (!handle) continue;
        auto device = std::make_unique<CWindowsBatteryDevice>(std::move(handle));
        if (device->QueryTag().value_or(0) != 0) return device;
    }
    return nullptr;
}

std::uint8_t CWindowsBatterySystem::ReadBatteryLifePercent() {
    const auto record = m_calls->SystemPowerStatus();
    if (!record) return kBatteryLifeUnknown;
    return ioctl::ParseBatteryLifePercent(*record).value_or(kBatteryLifeUnknown);
}

}  // namespace platform
