#include "platform/windows/battery_ioctl.h"

#include <algorithm>

#include "base/little_endian.h"

namespace platform::battery_ioctl {
namespace {

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

bool IsHighSurrogate(std::uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(std::uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

InformationLevel LevelOf(BatteryText text) {
    switch (text) {
        case BatteryText::SerialNumber:
            return InformationLevel::SerialNumber;
        case BatteryText::ManufactureName:
            return InformationLevel::ManufactureName;
        case BatteryText::UniqueId:
            return InformationLevel::UniqueId;
        case BatteryText::DeviceName:
            break;
    }
    return InformationLevel::DeviceName;
}

std::array<std::uint8_t, kTagWaitBytes> BuildTagWait(std::uint32_t waitMilliseconds) {
    std::array<std::uint8_t, kTagWaitBytes> bytes{};
    base::StoreLe32(bytes, 0x00, waitMilliseconds);
    return bytes;
}

std::array<std::uint8_t, kQueryInformationBytes> BuildQueryInformation(std::uint32_t tag,
                                                                       InformationLevel level) {
    std::array<std::uint8_t, kQueryInformationBytes> bytes{};
    base::StoreLe32(bytes, 0x00, tag);                                // BatteryTag
    base::StoreLe32(bytes, 0x04, static_cast<std::uint32_t>(level));  // InformationLevel
    base::StoreLe32(bytes, 0x08, 0);                                  // AtRate
    return bytes;
}

std::array<std::uint8_t, kWaitStatusBytes> BuildWaitStatus(std::uint32_t tag) {
    std::array<std::uint8_t, kWaitStatusBytes> bytes{};
    base::StoreLe32(bytes, 0x00, tag);  // BatteryTag
    base::StoreLe32(bytes, 0x04, 0);    // Timeout: the present status, no waiting
    base::StoreLe32(bytes, 0x08, 0);    // PowerState
    base::StoreLe32(bytes, 0x0C, 0);    // LowCapacity
    base::StoreLe32(bytes, 0x10, 0);    // HighCapacity
    return bytes;
}

std::optional<std::uint32_t> ParseTag(std::span<const std::uint8_t> reply) {
    return base::ReadLe32(reply, 0x00);
}

std::optional<BatteryStatus> ParseStatus(std::span<const std::uint8_t> reply) {
    // 0x00 PowerState, 0x04 Capacity, 0x08 Voltage (mV), 0x0C Rate (signed mW).
    if (reply.size() < kStatusBytes) return std::nullopt;
    const auto voltage = base::ReadLe32(reply, kStatusVoltageOffset);
    if (!voltage) return std::nullopt;
    return BatteryStatus{*voltage};
}

std::optional<BatteryInformation> ParseInformation(std::span<const std::uint8_t> reply) {
    // 0x00 Capabilities, 0x04 Technology, 0x05 Reserved[3], 0x08 Chemistry[4],
    // 0x0C DesignedCapacity, 0x10 FullChargedCapacity, 0x14 DefaultAlert1,
    // 0x18 DefaultAlert2, 0x1C CriticalBias, 0x20 CycleCount.
    if (reply.size() < kInformationBytes) return std::nullopt;
    const auto designed = base::ReadLe32(reply, kInformationDesignedCapacityOffset);
    const auto full = base::ReadLe32(reply, kInformationFullChargedCapacityOffset);
    const auto cycles = base::ReadLe32(reply, kInformationCycleCountOffset);
    const auto capabilities = base::ReadLe32(reply, kInformationCapabilitiesOffset);
    if (!designed || !full || !cycles || !capabilities) return std::nullopt;
    BatteryInformation info;
    info.bRelativeCapacity = (*capabilities & kCapacityRelative) != 0;
    info.designedCapacity = *designed;
    info.fullChargedCapacity = *full;
    info.cycleCount = *cycles;
    std::copy_n(reply.begin() + kInformationChemistryOffset, info.chemistry.size(),
                info.chemistry.begin());
    return info;
}

std::string ParseText(std::span<const std::uint8_t> reply) {
    const std::span<const std::uint8_t> bytes =
        reply.first(std::min(reply.size(), kTextReplyBytes));
    std::size_t end = 0;
    while (bytes.size() - end >= 2 && (bytes[end] != 0 || bytes[end + 1] != 0)) end += 2;
    return Utf16LeToUtf8(bytes.first(end));
}

std::optional<std::uint32_t> ParseTemperature(std::span<const std::uint8_t> reply) {
    return base::ReadLe32(reply, 0x00);
}

std::optional<std::uint8_t> ParseBatteryLifePercent(std::span<const std::uint8_t> record) {
    // 0x00 ACLineStatus, 0x01 BatteryFlag, 0x02 BatteryLifePercent, 0x03 SystemStatusFlag,
    // 0x04 BatteryLifeTime, 0x08 BatteryFullLifeTime.
    if (record.size() < kSystemPowerStatusBytes) return std::nullopt;
    return record[kBatteryLifePercentOffset];
}

std::string Utf16LeToUtf8(std::span<const std::uint8_t> bytes) {
    std::string utf8;
    const std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) { return std::uint32_t{base::LoadLe16(bytes, 2 * i)}; };
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t unit = unitAt(i);
        if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(unitAt(i + 1))) {
            AppendUtf8(utf8, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 1) - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit) ||
                   (unit >= 0x80 && unit <= 0x9F)) {
            // A lone surrogate is no character; C1 controls would drive a terminal.
            utf8.push_back('?');
        } else {
            AppendUtf8(utf8, unit);
        }
    }
    return utf8;
}

}  // namespace platform::battery_ioctl
