#include "disk/nvme_health.h"

#include <algorithm>

#include "base/little_endian.h"

namespace disk {
namespace {

constexpr std::size_t kSerialOffset = 4;
constexpr std::size_t kSerialBytes = 20;
constexpr std::size_t kModelOffset = 24;
constexpr std::size_t kModelBytes = 40;
constexpr std::size_t kFirmwareOffset = 64;
constexpr std::size_t kFirmwareBytes = 8;

constexpr std::size_t kCriticalWarningOffset = 0;
constexpr std::size_t kTemperatureOffset = 1;
constexpr std::size_t kAvailableSpareOffset = 3;
constexpr std::size_t kSpareThresholdOffset = 4;
constexpr std::size_t kPercentageUsedOffset = 5;
constexpr std::size_t kPowerCyclesOffset = 112;
constexpr std::size_t kPowerOnHoursOffset = 128;
constexpr std::size_t kMediaErrorsOffset = 160;

bool IsBlank(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string TrimmedField(std::span<const std::uint8_t> field) {
    auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    auto begin = field.begin();
    while (begin != end && IsBlank(*begin)) ++begin;
    while (end != begin && IsBlank(*(end - 1))) --end;
    return std::string(begin, end);
}

NvmeCounter CounterAt(std::span<const std::uint8_t> log, std::size_t offset) {
    NvmeCounter counter{};
    const auto bytes = log.subspan(offset, counter.size());
    std::copy(bytes.begin(), bytes.end(), counter.begin());
    return counter;
}

}  // namespace

std::optional<NvmeIdentity> DecodeNvmeIdentity(std::span<const std::uint8_t> identify) {
    if (identify.size() != platform::kNvmeIdentifyBytes) return std::nullopt;
    return NvmeIdentity{TrimmedField(identify.subspan(kModelOffset, kModelBytes)),
                        TrimmedField(identify.subspan(kSerialOffset, kSerialBytes)),
                        TrimmedField(identify.subspan(kFirmwareOffset, kFirmwareBytes))};
}

std::optional<NvmeHealth> DecodeNvmeHealth(std::span<const std::uint8_t> log) {
    if (log.size() != platform::kNvmeLogPageBytes) return std::nullopt;
    NvmeHealth health;
    health.criticalWarning = log[kCriticalWarningOffset];
    health.temperatureKelvin = base::LoadLe16(log, kTemperatureOffset);
    health.availableSparePercent = log[kAvailableSpareOffset];
    health.spareThresholdPercent = log[kSpareThresholdOffset];
    health.percentageUsed = log[kPercentageUsedOffset];
    health.powerCycles = CounterAt(log, kPowerCyclesOffset);
    health.powerOnHours = CounterAt(log, kPowerOnHoursOffset);
    health.mediaErrors = CounterAt(log, kMediaErrorsOffset);
    return health;
}

std::string CounterToDecimal(const NvmeCounter& counter) {
    // Long division by 10 over the bytes, most significant first, until nothing is left.
    NvmeCounter rest = counter;
    std::string digits;
    bool nonZero = true;
    while (nonZero) {
        unsigned remainder = 0;
        nonZero = false;
        for (std::size_t i = rest.size(); i-- > 0;) {
            const unsigned value = remainder << 8 | rest[i];
            rest[i] = static_cast<std::uint8_t>(value / 10);
            remainder = value % 10;
            nonZero = nonZero || rest[i] != 0;
        }
        digits.push_back(static_cast<char>('0' + remainder));
    }
    std::reverse(digits.begin(), digits.end());
    return digits;
}

}  // namespace disk
