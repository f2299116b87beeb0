// Each call builds its request with the pure builders, makes one DeviceIoControl and hands
// only the bytes the system says it returned to the pure judges. A byte count larger than
// the buffer is a lie, and fails the call.
#include "platform/windows/windows_drive.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/windows/nvme_query.h"
#include "platform/windows/smart_ioctl.h"
#include "platform/windows/storage_query.h"

namespace platform {
namespace {

class CDeviceIoDrive final : public IDrive {
public:
    CDeviceIoDrive(std::unique_ptr<IDeviceIo> io, std::uint8_t number)
        : m_pIo(std::move(io)), m_byNumber(number), m_bNvme(AsksNvmeBus()) {}

    bool IsNvme() const override { return m_bNvme; }

    bool GetVersion(SmartVersion out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        if (m_bNvme) return false;
        std::array<std::uint8_t, kGetVersionInParamsBytes> reply{};
        std::uint32_t lastError = 0;
        const auto returned = Call(kIoctlSmartGetVersion, {}, reply, &lastError);
        return returned && ReadSmartVersionReply(*returned, out);
    }

    bool SendCommand(const AtaRegisters& regs, int* errorCode) override {
        if (m_bNvme) return Refuse(kErrorNotSupported, errorCode);
        if (!IsPermittedSmartCommand(regs, SmartTransfer::kNonData)) {
            return Refuse(kErrorAccessDenied, errorCode);
        }
        const SendCmdInParams in = BuildSendCmdInParams(regs, m_byNumber, 0);
        std::array<std::uint8_t, kSmartNonDataReplyBytes> reply{};
        std::uint32_t lastError = 0;
        const auto returned = Call(kIoctlSmartSendDriveCommand, in, reply, &lastError);
        if (!returned) return Refuse(static_cast<int>(lastError), errorCode);
        if (!ReadSmartDriverStatus(*returned)) return Refuse(kErrorInvalidData, errorCode);
        if (!JudgeSmartNonDataReply(*returned)) return Refuse(kErrorIoDevice, errorCode);
        *errorCode = 0;
        return true;
    }

    bool ReceiveData(const AtaRegisters& regs, AtaSector out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        if (m_bNvme || !IsPermittedSmartCommand(regs, SmartTransfer::kDataIn)) return false;
        const SendCmdInParams in =
            BuildSendCmdInParams(regs, m_byNumber, static_cast<std::uint32_t>(kAtaSectorBytes));
        std::vector<std::uint8_t> reply(SmartDataReplyBytes(regs));
        std::uint32_t lastError = 0;
        const auto returned = Call(kIoctlSmartRcvDriveData, in, reply, &lastError);
        if (!returned) return false;
        const auto sector = SmartSectorFromReply(*returned);
        if (!sector) return false;
        std::copy(sector->begin(), sector->end(), out.begin());
        return true;
    }

    bool NvmeIdentifyController(std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        return m_bNvme && Query(BuildNvmeIdentifyControllerQuery(), out);
    }

    bool NvmeGetLogPage(std::uint8_t logId,
                        std::span<std::uint8_t, kNvmeLogPageBytes> out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        return m_bNvme &&
               Query(BuildNvmeLogPageQuery(logId, static_cast<std::uint32_t>(out.size())), out);
    }

private:
    static bool Refuse(int code, int* errorCode) {
        *errorCode = code;
        return false;
    }

    // One DeviceIoControl; the bytes the system returned, or nullopt when the call failed or
    // claimed more bytes than `out` holds (then `*lastError` is kErrorInvalidData).
    std::optional<std::span<const std::uint8_t>> Call(std::uint32_t code,
                                                      std::span<const std::uint8_t> in,
                                                      std::span<std::uint8_t> out,
                                                      std::uint32_t* lastError) {
        const auto returned = m_pIo->Control(code, in, out, lastError);
        if (!returned) return std::nullopt;
        if (*returned > out.size()) {
            *lastError = static_cast<std::uint32_t>(kErrorInvalidData);
            return std::nullopt;
        }
        return std::span<const std::uint8_t>(out.data(), *returned);
    }

    bool AsksNvmeBus() {
        const PropertyQuery query = BuildDeviceDescriptorQuery();
        std::vector<std::uint8_t> reply(kDeviceDescriptorReplyBytes);
        std::uint32_t lastError = 0;
        const auto returned = Call(kIoctlStorageQueryProperty, query, reply, &lastError);
        if (!returned) return false;
        const auto busType = ReadDeviceBusType(*returned);
        return busType && *busType == kBusTypeNvme;
    }

    bool Query(const NvmeQuery& query, std::span<std::uint8_t> out) {
        std::vector<std::uint8_t> reply(query.replyBytes);
        std::uint32_t lastError = 0;
        const auto returned = Call(kIoctlStorageQueryProperty, query.request, reply, &lastError);
        if (!returned) return false;
        const auto data = NvmeDataFromReply(*returned, query.dataBytes);
        if (!data || data->size() != out.size()) return false;
        std::copy(data->begin(), data->end(), out.begin());
        return true;
    }

    std::unique_ptr<IDeviceIo> m_pIo;
    std::uint8_t m_byNumber;
    bool m_bNvme;
};

}  // namespace

std::unique_ptr<IDrive> MakeDeviceIoDrive(std::unique_ptr<IDeviceIo> io, std::uint8_t number) {
    return std::make_unique<CDeviceIoDrive>(std::move(io), number);
}

}  // namespace platform
