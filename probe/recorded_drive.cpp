#include "probe/recorded_drive.h"

#include <algorithm>

namespace platform {
namespace {

class CRecordingDrive final : public IDrive {
public:
    // `records` and the index stay valid: the system only appends, and the index is stable.
    CRecordingDrive(std::unique_ptr<IDrive> inner, std::vector<DriveRecord>& records,
                    std::size_t index)
        : m_pInner(std::move(inner)), m_records(records), m_nIndex(index) {}

    bool IsNvme() const override { return m_pInner->IsNvme(); }

    bool GetVersion(SmartVersion out) override {
        const bool ok = m_pInner->GetVersion(out);
        Keep(DriveCallKind::kGetVersion, {}, 0, ok, 0, out);
        return ok;
    }

    bool SendCommand(const AtaRegisters& regs, int* errorCode) override {
        int code = 0;
        const bool ok = m_pInner->SendCommand(regs, &code);
        *errorCode = code;
        Keep(DriveCallKind::kSendCommand, regs, 0, ok, code, {});
        return ok;
    }

    bool ReceiveData(const AtaRegisters& regs, AtaSector out) override {
        const bool ok = m_pInner->ReceiveData(regs, out);
        Keep(DriveCallKind::kReceiveData, regs, 0, ok, 0, out);
        return ok;
    }

    bool NvmeIdentifyController(std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        const bool ok = m_pInner->NvmeIdentifyController(out);
        Keep(DriveCallKind::kNvmeIdentify, {}, 0, ok, 0, out);
        return ok;
    }

    bool NvmeIdentifyNamespace(std::uint32_t nsid,
                               std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        const bool ok = m_pInner->NvmeIdentifyNamespace(nsid, out);
        Keep(DriveCallKind::kNvmeIdentifyNamespace, {}, 0, ok, 0, out, nsid);
        return ok;
    }

    bool NvmeGetLogPage(std::uint8_t logId,
                        std::span<std::uint8_t, kNvmeLogPageBytes> out) override {
        const bool ok = m_pInner->NvmeGetLogPage(logId, out);
        Keep(DriveCallKind::kNvmeGetLogPage, {}, logId, ok, 0, out);
        return ok;
    }

private:
    void Keep(DriveCallKind kind, const AtaRegisters& regs, std::uint8_t logId, bool ok, int code,
              std::span<const std::uint8_t> data, std::uint32_t nsid = 0) {
        DriveCall call;
        call.kind = kind;
        call.regs = regs;
        call.logId = logId;
        call.nsid = nsid;
        call.bOk = ok;
        call.nErrorCode = code;
        call.data.assign(data.begin(), data.end());
        m_records[m_nIndex].calls.push_back(std::move(call));
    }

    std::unique_ptr<IDrive> m_pInner;
    std::vector<DriveRecord>& m_records;
    std::size_t m_nIndex;
};

class CReplayDrive final : public IDrive {
public:
    explicit CReplayDrive(const DriveRecord& record)
        : m_record(record), m_used(record.calls.size(), false) {}

    bool IsNvme() const override { return m_record.bNvme; }

    bool GetVersion(SmartVersion out) override {
        return Answer(DriveCallKind::kGetVersion, {}, 0, out, nullptr);
    }

    bool SendCommand(const AtaRegisters& regs, int* errorCode) override {
        return Answer(DriveCallKind::kSendCommand, regs, 0, {}, errorCode);
    }

    bool ReceiveData(const AtaRegisters& regs, AtaSector out) override {
        return Answer(DriveCallKind::kReceiveData, regs, 0, out, nullptr);
    }

    bool NvmeIdentifyController(std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        return Answer(DriveCallKind::kNvmeIdentify, {}, 0, out, nullptr);
    }

    bool NvmeIdentifyNamespace(std::uint32_t nsid,
                               std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        return Answer(DriveCallKind::kNvmeIdentifyNamespace, {}, 0, out, nullptr, nsid);
    }

    bool NvmeGetLogPage(std::uint8_t logId,
                        std::span<std::uint8_t, kNvmeLogPageBytes> out) override {
        return Answer(DriveCallKind::kNvmeGetLogPage, {}, logId, out, nullptr);
    }

private:
    bool Answer(DriveCallKind kind, const AtaRegisters& regs, std::uint8_t logId,
                std::span<std::uint8_t> out, int* errorCode, std::uint32_t nsid = 0) {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        for (std::size_t i = 0; i < m_record.calls.size(); ++i) {
            const DriveCall& call = m_record.calls[i];
            if (m_used[i] || call.kind != kind || call.regs != regs || call.logId != logId ||
                call.nsid != nsid)
                continue;
            m_used[i] = true;
            // A record whose bytes do not fit the buffer cannot be the answer to this call.
            if (call.data.size() != out.size()) break;
            std::copy(call.data.begin(), call.data.end(), out.begin());
            if (errorCode) *errorCode = call.nErrorCode;
            return call.bOk;
        }
        if (errorCode) *errorCode = CReplayDriveSystem::kNotRecordedError;
        return false;
    }

    DriveRecord m_record;
    std::vector<bool> m_used;
};

}  // namespace

std::size_t DriveCallBytes(DriveCallKind kind) {
    switch (kind) {
        case DriveCallKind::kGetVersion:
            return kSmartVersionBytes;
        case DriveCallKind::kSendCommand:
            return 0;
        case DriveCallKind::kReceiveData:
            return kAtaSectorBytes;
        case DriveCallKind::kNvmeIdentify:
        case DriveCallKind::kNvmeIdentifyNamespace:
            return kNvmeIdentifyBytes;
        case DriveCallKind::kNvmeGetLogPage:
            return kNvmeLogPageBytes;
    }
    return 0;
}

std::unique_ptr<IDrive> CRecordingDriveSystem::OpenDrive(std::uint8_t number) {
    std::unique_ptr<IDrive> drive = m_pInner->OpenDrive(number);
    DriveRecord record;
    record.number = number;
    record.bOpened = drive != nullptr;
    record.bNvme = drive && drive->IsNvme();
    m_records.push_back(std::move(record));
    if (!drive) return nullptr;
    return std::make_unique<CRecordingDrive>(std::move(drive), m_records, m_records.size() - 1);
}

std::unique_ptr<IDrive> CReplayDriveSystem::OpenDrive(std::uint8_t number) {
    for (std::size_t i = 0; i < m_records.size(); ++i) {
        if (m_used[i] || m_records[i].number != number) continue;
        m_used[i] = true;
        if (!m_records[i].bOpened) return nullptr;
        return std::make_unique<CReplayDrive>(m_records[i]);
    }
    return nullptr;
}

}  // namespace platform
