// Battery calls for tests: a battery driver that answers recorded reply bytes, records every
// request, and can refuse, cut short or overstate each reply on its own. With it the real
// CWindowsBatterySystem runs on any system.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/battery_system.h"
#include "platform/windows/battery_ioctl.h"
#include "platform/windows/windows_battery_calls.h"

namespace platform::testing {

// What the driver answers to one request.
struct RecordedReply {
    std::vector<std::uint8_t> bytes;  // written into the caller's buffer
    // The byte count the driver reports; bytes.size() when not set. A count above the buffer
    // offered is a lying driver.
    std::optional<std::uint32_t> returned;
};

struct RecordedRequest {
    std::uint32_t code = 0;
    std::vector<std::uint8_t> input;
    std::size_t outputBytes = 0;  // the size of the buffer offered for the reply
    std::u16string devicePath;    // the interface the request went to
};

class CRecordedBatteryCalls final : public IBatteryCalls {
public:
    static constexpr std::uint32_t kTag = 0x2A;

    // The battery's own interface: it answers the replies below.
    std::u16string path = u"\\\\?\\acpi#pnp0c0a#1#{72631e54-78a4-11d0-bcf7-00aa00b7b32a}";
    // The interfaces listed, in order; empty: no battery interface at all.
    std::vector<std::u16string> listed = {path};
    // What the other listed interfaces (empty bays) answer to the tag request; an interface
    // missing here fails it. They fail every other request.
    std::map<std::u16string, RecordedReply> otherTags;
    bool bOpens = true;  // false: CreateFileW fails on every interface
    // A missing reply makes that request fail; a reply longer than the buffer offered fails
    // too (the driver's ERROR_INSUFFICIENT_BUFFER). Status and information requests whose tag
    // is not kTag fail, as the driver fails them.
    std::optional<RecordedReply> tag;
    std::optional<RecordedReply> status;
    std::map<battery_ioctl::InformationLevel, RecordedReply> levels;
    std::optional<std::array<std::uint8_t, 12>> powerStatus;

    std::vector<RecordedRequest> requests;
    std::vector<std::u16string> opened;  // every path passed to OpenBattery
    int OpenHandles() const { return m_nOpenHandles; }

    std::vector<std::u16string> BatteryInterfacePaths() override { return listed; }
    std::unique_ptr<IBatteryHandle> OpenBattery(const std::u16string& devicePath) override;
    std::optional<std::array<std::uint8_t, 12>> SystemPowerStatus() override { return powerStatus; }

private:
    class CHandle;
    std::optional<std::uint32_t> Answer(const std::u16string& devicePath, std::uint32_t code,
                                        std::span<const std::uint8_t> input,
                                        std::span<std::uint8_t> output);
    int m_nOpenHandles = 0;
};

// Reply bytes as a battery driver writes them. The fields not taken from the arguments get
// values of their own, so a reader that takes the wrong offset reads a wrong number.
std::vector<std::uint8_t> EncodeLe32(std::uint32_t value);
std::vector<std::uint8_t> EncodeStatus(std::uint32_t voltageMillivolts);
std::vector<std::uint8_t> EncodeInformation(const BatteryInformation& info);
// UTF-8 text as UTF-16LE with its terminating zero unit.
std::vector<std::uint8_t> EncodeText(std::string_view utf8);
std::array<std::uint8_t, 12> EncodeSystemPowerStatus(std::uint8_t lifePercent);

// A battery that answers every request the way the system is read: status with 12.345 V,
// LION 45000 of 50000 mWh and 12 cycles, the four texts, 2982 (tenths of a kelvin), 98 %.
void FillBattery(CRecordedBatteryCalls& calls);

// The replies of the first battery of `reference`, recorded: what a Windows driver would
// answer for the battery that `reference` reads. A request `reference` refuses is refused.
std::unique_ptr<CRecordedBatteryCalls> RecordBattery(IBatterySystem& reference);

}  // namespace platform::testing
