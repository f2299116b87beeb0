#include "platform/windows/battery_recorded_calls.h"

#include <algorithm>
#include <utility>

#include "base/little_endian.h"

namespace platform::testing {

namespace ioctl = battery_ioctl;

class CRecordedBatteryCalls::CHandle final : public IBatteryHandle {
public:
    CHandle(CRecordedBatteryCalls& calls, std::u16string path)
        : m_calls(calls), m_path(std::move(path)) {
        ++m_calls.m_nOpenHandles;
    }
    ~CHandle() override { --m_calls.m_nOpenHandles; }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    std::optional<std::uint32_t> Control(std::uint32_t code, std::span<const std::uint8_t> input,
                                         std::span<std::uint8_t> output) override {
        return m_calls.Answer(m_path, code, input, output);
    }

private:
    CRecordedBatteryCalls& m_calls;
    std::u16string m_path;
};

std::unique_ptr<IBatteryHandle> CRecordedBatteryCalls::OpenBattery(
    const std::u16string& devicePath) {
    opened.push_back(devicePath);
    if (!bOpens) return nullptr;
    return std::make_unique<CHandle>(*this, devicePath);
}

std::optional<std::uint32_t> CRecordedBatteryCalls::Answer(const std::u16string& devicePath,
                                                           std::uint32_t code,
                                                           std::span<const std::uint8_t> input,
                                                           std::span<std::uint8_t> output) {
    requests.push_back(
        {code, std::vector<std::uint8_t>(input.begin(), input.end()), output.size(), devicePath});
    const auto askedTag = ioctl::ParseTag(input);
    const RecordedReply* reply = nullptr;
    if (devicePath != path) {
        const auto found = otherTags.find(devicePath);
        if (code == ioctl::kIoctlQueryTag && found != otherTags.end()) reply = &found->second;
    } else if (code == ioctl::kIoctlQueryTag) {
        if (tag) reply = &*tag;
    } else if (code == ioctl::kIoctlQueryStatus) {
        if (status && askedTag == kTag) reply = &*status;
    } else if (code == ioctl::kIoctlQueryInformation && input.size() >= 8 && askedTag == kTag) {
        const auto level = static_cast<ioctl::InformationLevel>(
            ioctl::ParseTag(input.subspan(4)).value_or(0xFFFFFFFF));
        const auto found = levels.find(level);
        if (found != levels.end()) reply = &found->second;
    }
    if (!reply || reply->bytes.size() > output.size()) return std::nullopt;
    std::copy(reply->bytes.begin(), reply->bytes.end(), output.begin());
    return reply->returned.value_or(static_cast<std::uint32_t>(reply->bytes.size()));
}

std::vector<std::uint8_t> EncodeLe32(std::uint32_t value) {
    std::vector<std::uint8_t> bytes;
    base::AppendLe(bytes, value, 4);
    return bytes;
}

namespace {

void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    base::StoreLe32(bytes, offset, value);
}

}  // namespace

std::vector<std::uint8_t> EncodeStatus(std::uint32_t voltageMillivolts) {
    std::vector<std::uint8_t> bytes(ioctl::kStatusBytes);
    Put(bytes, 0x00, 0x00000002);         // PowerState: BATTERY_DISCHARGING
    Put(bytes, 0x04, 41234);              // Capacity, mWh
    Put(bytes, 0x08, voltageMillivolts);  // Voltage
    Put(bytes, 0x0C, 0xFFFFE0C0);         // Rate: -8000 mW
    return bytes;
}

std::vector<std::uint8_t> EncodeInformation(const BatteryInformation& info) {
    std::vector<std::uint8_t> bytes(ioctl::kInformationBytes);
    // Capabilities: BATTERY_SYSTEM_BATTERY, and BATTERY_CAPACITY_RELATIVE when asked for.
    Put(bytes, 0x00, info.bRelativeCapacity ? 0xC0000000 : 0x80000000);
    bytes[0x04] = 1;     // Technology: rechargeable
    bytes[0x05] = 0x55;  // Reserved
    bytes[0x06] = 0x55;
    bytes[0x07] = 0x55;
    std::copy(info.chemistry.begin(), info.chemistry.end(), bytes.begin() + 0x08);
    Put(bytes, 0x0C, info.designedCapacity);
    Put(bytes, 0x10, info.fullChargedCapacity);
    Put(bytes, 0x14, 5000);  // DefaultAlert1
    Put(bytes, 0x18, 2500);  // DefaultAlert2
    Put(bytes, 0x1C, 77);    // CriticalBias
    Put(bytes, 0x20, info.cycleCount);
    return bytes;
}

std::vector<std::uint8_t> EncodeText(std::string_view utf8) {
    std::vector<std::uint8_t> bytes;
    auto unit = [&](std::uint32_t u) {
        bytes.push_back(static_cast<std::uint8_t>(u));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<std::uint8_t>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t codePoint = length == 1   ? lead
                                  : length == 2 ? lead & 0x1Fu
                                  : length == 3 ? lead & 0x0Fu
                                                : lead & 0x07u;
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
            codePoint = codePoint << 6 | (static_cast<std::uint8_t>(utf8[i + k]) & 0x3Fu);
        }
        i += length;
        if (codePoint >= 0x10000) {
            unit(0xD800 + ((codePoint - 0x10000) >> 10));
            unit(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            unit(codePoint);
        }
    }
    unit(0);
    return bytes;
}

std::array<std::uint8_t, 12> EncodeSystemPowerStatus(std::uint8_t lifePercent) {
    // ACLineStatus 0 (offline), BatteryFlag 1 (high), BatteryLifePercent, SystemStatusFlag 0,
    // BatteryLifeTime 7200 s, BatteryFullLifeTime unknown.
    return {0x00, 0x01, lifePercent, 0x00, 0x20, 0x1C, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
}

void FillBattery(CRecordedBatteryCalls& calls) {
    calls.tag = RecordedReply{EncodeLe32(CRecordedBatteryCalls::kTag), {}};
    calls.status = RecordedReply{EncodeStatus(12345), {}};
    BatteryInformation info;
    info.designedCapacity = 50000;
    info.fullChargedCapacity = 45000;
    info.cycleCount = 12;
    info.chemistry = {'L', 'I', 'O', 'N'};
    calls.levels[ioctl::InformationLevel::Information] = {EncodeInformation(info), {}};
    calls.levels[ioctl::InformationLevel::SerialNumber] = {EncodeText(" 2958"), {}};
    calls.levels[ioctl::InformationLevel::ManufactureName] = {EncodeText("SMP-ATL4.49"), {}};
    calls.levels[ioctl::InformationLevel::UniqueId] = {EncodeText(" 2958SMP-ATL4.49DELL PN1VN08"),
                                                       {}};
    calls.levels[ioctl::InformationLevel::DeviceName] = {EncodeText("DELL PN1VN08"), {}};
    calls.levels[ioctl::InformationLevel::Temperature] = {EncodeLe32(2982), {}};
    calls.powerStatus = EncodeSystemPowerStatus(98);
}

std::unique_ptr<CRecordedBatteryCalls> RecordBattery(IBatterySystem& reference) {
    auto calls = std::make_unique<CRecordedBatteryCalls>();
    calls->powerStatus = EncodeSystemPowerStatus(reference.ReadBatteryLifePercent());
    const auto device = reference.OpenFirstBattery();
    if (!device) {
        calls->listed.clear();
        return calls;
    }
    const auto tag = device->QueryTag();
    if (!tag) return calls;
    calls->tag = RecordedReply{EncodeLe32(*tag == 0 ? 0 : CRecordedBatteryCalls::kTag), {}};
    if (const auto status = device->QueryStatus(*tag)) {
        calls->status = RecordedReply{EncodeStatus(status->voltage), {}};
    }
    if (const auto info = device->QueryInformation(*tag)) {
        calls->levels[ioctl::InformationLevel::Information] = {EncodeInformation(*info), {}};
    }
    for (const BatteryText text : {BatteryText::SerialNumber, BatteryText::ManufactureName,
                                   BatteryText::UniqueId, BatteryText::DeviceName}) {
        if (const auto value = device->QueryText(*tag, text)) {
            calls->levels[ioctl::LevelOf(text)] = {EncodeText(*value), {}};
        }
    }
    if (const auto temperature = device->QueryTemperature(*tag)) {
        calls->levels[ioctl::InformationLevel::Temperature] = {EncodeLe32(*temperature), {}};
    }
    return calls;
}

}  // namespace platform::testing
