// The drive seam on Linux: SG_IO for ATA drives (through libata's SCSI-ATA translation or a
// SAT bridge), the NVMe admin ioctl for NVMe controllers. Each call only fills the kernel's
// structure from the pure builders and hands the answer to the pure judges.
#include <fcntl.h>
#include <linux/nvme_ioctl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <fstream>

#include "platform/ata_commands.h"
#include "platform/linux/drive_list.h"
#include "platform/linux/linux_drive_system.h"
#include "platform/linux/nvme_admin.h"
#include "platform/linux/sg_io_ata.h"
#include "platform/linux/unique_fd.h"

namespace platform {
namespace {

constexpr unsigned kCommandTimeoutMs = 20000;
constexpr std::size_t kSenseBytes = 64;

// One ATA command through SG_IO, when the gate lets it through (EPERM otherwise). `data` is
// empty for a non-data command.
AtaOutcome SendAtaPassThrough(int fd, const AtaRegisters& regs, AtaProtocol protocol,
                              std::span<std::uint8_t> data) {
    if (!IsPermittedAtaCommand(regs, protocol)) return {false, EPERM};
    AtaPassThroughCdb cdb = BuildAtaPassThrough16(regs, protocol);
    std::array<std::uint8_t, kSenseBytes> sense{};
    sg_io_hdr_t hdr{};
    hdr.interface_id = 'S';
    hdr.cmd_len = static_cast<unsigned char>(cdb.size());
    hdr.cmdp = cdb.data();
    hdr.mx_sb_len = static_cast<unsigned char>(sense.size());
    hdr.sbp = sense.data();
    hdr.dxfer_direction = data.empty() ? SG_DXFER_NONE : SG_DXFER_FROM_DEV;
    hdr.dxfer_len = static_cast<unsigned>(data.size());
    hdr.dxferp = data.empty() ? nullptr : data.data();
    hdr.timeout = kCommandTimeoutMs;

    SgIoReply reply;
    if (::ioctl(fd, SG_IO, &hdr) != 0) reply.ioctlErrno = errno;
    reply.scsiStatus = hdr.status;
    reply.hostStatus = hdr.host_status;
    reply.driverStatus = hdr.driver_status;
    reply.resid = hdr.resid;
    reply.sense = std::span<const std::uint8_t>(sense.data(),
                                                std::min<std::size_t>(hdr.sb_len_wr, sense.size()));
    return JudgeAtaReply(reply);
}

class CLinuxDrive final : public IDrive {
public:
    CLinuxDrive(CUniqueFd fd, BlockDrive drive, std::string sysRoot)
        : m_hFd(std::move(fd)), m_drive(std::move(drive)), m_strSysRoot(std::move(sysRoot)) {}

    bool IsNvme() const override { return m_drive.bNvme; }

    bool GetVersion(SmartVersion out) override {
        FillSmartVersion(false, out);
        if (m_drive.bNvme) return false;
        int version = 0;
        if (::ioctl(m_hFd.Get(), SG_GET_VERSION_NUM, &version) != 0) return false;
        FillSmartVersion(IsAtaDevice(), out);
        return true;
    }

    bool SendCommand(const AtaRegisters& regs, int* errorCode) override {
        if (m_drive.bNvme) return Refuse(ENOTTY, errorCode);
        const AtaOutcome outcome = SendAtaPassThrough(m_hFd.Get(), regs, AtaProtocol::kNonData, {});
        *errorCode = outcome.nErrorCode;
        return outcome.bOk;
    }

    bool ReceiveData(const AtaRegisters& regs, AtaSector out) override {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        if (m_drive.bNvme) return false;
        return SendAtaPassThrough(m_hFd.Get(), regs, AtaProtocol::kPioDataIn, out).bOk;
    }

    bool NvmeIdentifyController(std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        return m_drive.bNvme && SendNvmeAdmin(IdentifyControllerCommand(), out);
    }

    bool NvmeIdentifyNamespace(std::uint32_t nsid,
                               std::span<std::uint8_t, kNvmeIdentifyBytes> out) override {
        // Only namespace 1: the gate in SendNvmeAdmin refuses any other.
        return m_drive.bNvme && SendNvmeAdmin(IdentifyNamespaceCommand(nsid), out);
    }

    bool NvmeGetLogPage(std::uint8_t logId,
                        std::span<std::uint8_t, kNvmeLogPageBytes> out) override {
        // Only the SMART / Health log: the gate in SendNvmeAdmin refuses any other.
        return m_drive.bNvme &&
               SendNvmeAdmin(GetLogPageCommand(logId, static_cast<std::uint32_t>(out.size())), out);
    }

private:
    static bool Refuse(int code, int* errorCode) {
        *errorCode = code;
        return false;
    }

    // libata names every disk it drives with the vendor "ATA"; a SAT bridge (USB) does not,
    // so there the drive has to answer an IDENTIFY DEVICE of its own.
    bool IsAtaDevice() {
        std::ifstream in(m_strSysRoot + "/block/" + m_drive.name + "/device/vendor");
        std::string vendor;
        std::getline(in, vendor);
        while (!vendor.empty() && vendor.back() == ' ') vendor.pop_back();
        if (vendor == "ATA") return true;
        std::array<std::uint8_t, kAtaSectorBytes> identify{};
        return SendAtaPassThrough(m_hFd.Get(), kIdentifyDeviceRegs, AtaProtocol::kPioDataIn,
                                  identify)
            .bOk;
    }

    bool SendNvmeAdmin(const NvmeAdminCommand& command, std::span<std::uint8_t> out) {
        std::fill(out.begin(), out.end(), std::uint8_t{0});
        if (!IsPermittedNvmeCommand(command)) return false;
        nvme_admin_cmd cmd{};
        cmd.opcode = command.opcode;
        cmd.nsid = command.nsid;
        cmd.cdw10 = command.cdw10;
        cmd.cdw11 = command.cdw11;
        cmd.addr = reinterpret_cast<std::uintptr_t>(out.data());
        cmd.data_len =
            std::min<std::uint32_t>(command.dataLength, static_cast<std::uint32_t>(out.size()));
        cmd.timeout_ms = kCommandTimeoutMs;
        const int result = ::ioctl(m_hFd.Get(), NVME_IOCTL_ADMIN_CMD, &cmd);
        int errorCode = 0;
        return JudgeNvmeResult(result, errno, &errorCode);
    }

    CUniqueFd m_hFd;
    BlockDrive m_drive;
    std::string m_strSysRoot;
};

}  // namespace

CLinuxDriveSystem::CLinuxDriveSystem(std::string sysRoot, std::string devRoot)
    : m_strSysRoot(std::move(sysRoot)), m_strDevRoot(std::move(devRoot)) {}

std::unique_ptr<IDrive> CLinuxDriveSystem::OpenDrive(std::uint8_t number) {
    std::vector<BlockDrive> drives = ListPhysicalDrives(m_strSysRoot);
    if (number >= drives.size()) return nullptr;
    BlockDrive& drive = drives[number];
    // NVMe admin commands go to the controller, not to one of its namespaces. Read-only is
    // enough for SG_IO and the admin ioctl with root's rights, and no write can reach the
    // drive through this descriptor; non-blocking, so a drive without media does not hold up
    // the open.
    const std::string node = m_strDevRoot + "/" + (drive.bNvme ? drive.controller : drive.name);
    CUniqueFd fd(::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) return nullptr;
    return std::make_unique<CLinuxDrive>(std::move(fd), std::move(drive), m_strSysRoot);
}

}  // namespace platform
