// Each call builds its request with the pure builders, makes one DeviceIoControl and hands
// only the bytes the system says it returned to the pure judges. A byte count larger than
// the buffer is a lie, and fails the call.
#include "platform/windows/windows_drive.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/ata_commands.h"
#include "platform/nvme_commands.h"
#include "platform/windows/nvme_query.h"
#include "platform/windows/smart_ioctl.h"
#include "platform/windows/storage_query.h"

namespace platform {
namespace {

// One DeviceIoControl; the bytes the system returned, or nullopt when the call failed or
// claimed more bytes than `out` holds (then `*lastError` is kErrorInvalidData).
std::optional<std::span<const std::uint8_t>> Call(IDeviceIo& io, std::uint32_t code,
                                                  std::span<const std::uint8_t> in,
                                                  std::span<std::uint8_t> out,
                                                  std::uint32_t* lastError) {
    const auto returned = io.Control(code, in, out, lastError);
    if (!returned) return std::nullopt;
    if (*returned > out.size()) {
        *lastError = static_cast<std::uint32_t>(kErrorInvalidData);
        return std::nullopt;
    }
    return std::span<const std::uint8_t>(out.data(), *returned);
}

// A bus an NVMe drive may hide behind: a RAID or vendor driver reports one of these.
bool MayHideNvme(std::uint32_t busType) {
    return busType == kBusTypeRaid || busType == kBusTypeScsi || busType == kBusTypeUnknown;
}

class CDeviceIoDrive final : public IDrive {
public:
    CDeviceIoDrive(std::unique_ptr<IDeviceIo> io, std::uint8_t number, bool nvme)
        : m_pIo(std::move(io)), m_byNumber(number), m_bNvme(nvme) {}

    // For a drive whose bus does not tell: ATA when the SMART pass-through gives an
    // identity, else NVMe when Identify Controller answers, else ATA as before.
    void SettleKind() {
        m_bNvme = false;
        if (GivesAtaIdentity()) return;
        m_bNvme = true;
        std::array<std::uint8_t, kNvmeIdentifyBytes> identify{};
        m_bNvme = NvmeIdentifyController(identify);
    }

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

    bool NvmeIdentifyNamespace(std::uint32_t nsid,
                               std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        // Only namespace 1, as on every system: no other namespace's query is built.
        return m_bNvme && nsid == kNvmeFirstNamespace &&
               Query(BuildNvmeIdentifyNamespaceQuery(nsid), out);
    }

    bool NvmeGetLogPage(std::uint8_t logId,
                        std::span<std::uint8_t, kNvmeLogPageBytes> out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        return m_bNvme &&
               Query(BuildNvmeLogPageQuery(logId, static_cast<std::uint32_t>(out.size())), out);
    }

private:
    // The steps of the SMART reader that give an ATA drive's identity, in its order.
    bool GivesAtaIdentity() {
        std::array<std::uint8_t, kSmartVersionBytes> version{};
        if (!GetVersion(version)) return false;
        std::uint32_t caps = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            caps |= std::uint32_t{version[kSmartVersionCapsOffset + i]} << (8 * i);
        }
        if ((caps & kCapSmartCmd) == 0) return false;
        int errorCode = 0;
        if (!SendCommand(kSmartEnableRegs, &errorCode)) return false;
        std::array<std::uint8_t, kAtaSectorBytes> identify{};
        return ReceiveData(kIdentifyDeviceRegs, identify);
    }

    std::optional<std::span<const std::uint8_t>> Call(std::uint32_t code,
                                                      std::span<const std::uint8_t> in,
                                                      std::span<std::uint8_t> out,
                                                      std::uint32_t* lastError) {
        return platform::Call(*m_pIo, code, in, out, lastError);
    }

    static bool Refuse(int code, int* errorCode) {
        *errorCode = code;
        return false;
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

std::optional<DeviceDescriptorFacts> AskDeviceDescriptor(IDeviceIo& io) {
    const PropertyQuery query = BuildDeviceDescriptorQuery();
    std::vector<std::uint8_t> reply(kDeviceDescriptorReplyBytes);
    std::uint32_t lastError = 0;
    const auto returned = Call(io, kIoctlStorageQueryProperty, query, reply, &lastError);
    if (!returned) return std::nullopt;
    return ReadDeviceDescriptor(*returned);
}

std::unique_ptr<IDrive> MakeDeviceIoDrive(std::unique_ptr<IDeviceIo> io, std::uint8_t number,
                                          const std::optional<DeviceDescriptorFacts>& descriptor) {
    const bool nvme = descriptor && descriptor->busType == kBusTypeNvme;
    auto drive = std::make_unique<CDeviceIoDrive>(std::move(io), number, nvme);
    if (descriptor && MayHideNvme(descriptor->busType)) drive->SettleKind();
    return drive;
}

}  // namespace platform
