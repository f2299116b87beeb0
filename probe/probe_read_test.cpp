// The probe's reading against a direct read: the window decodes the probe's stream, so the
// pages must come out as if it had read the files and the drive itself.
#include "probe/probe_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "disk/hd_smart.h"
#include "platform/fake/fake_drive_system.h"
#include "platform/sysfs/dmi_folder_source.h"
#include "probe/probe_sources.h"
#include "probe/probe_stream.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_sectors.h"

namespace {

using platform::CFakeDriveSystem;
using platform::FakeDrive;

FakeDrive AtaDrive() {
    FakeDrive drive;
    drive.identify = disktest::IdentifySector("ORCHID SSD 512GB", "SN-0001", "FW1.0");
    drive.smartData = disktest::SmartSector();
    disktest::PutAttribute(*drive.smartData, 0, 9, {0x10, 0x27, 0, 0, 0, 0});
    disktest::PutAttribute(*drive.smartData, 1, 12, {0x2A, 0, 0, 0, 0, 0});
    disktest::PutAttribute(*drive.smartData, 2, 194, {0x25, 0, 0, 0, 0, 0});
    disktest::PutAttribute(*drive.smartData, 3, 5, {0x03, 0, 0, 0, 0, 0});
    return drive;
}

FakeDrive NvmeDrive() {
    FakeDrive drive;
    drive.bNvme = true;
    drive.bSmartCapable = false;
    drive.nvmeIdentify = disktest::NvmeIdentifySector("ORCHID NVME", "NV-77", "2.1");
    drive.nvmeHealthLog = disktest::NvmeHealthLog(310, 1234, 5678);
    return drive;
}

// Identify Namespace of a drive of 1953525168 blocks of 512 bytes (1000.2 GB).
std::vector<std::uint8_t> NamespaceSector() {
    std::vector<std::uint8_t> bytes(4096, 0);
    const std::uint64_t blocks = 1953525168;
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(blocks >> (8 * i));
    bytes[128 + 2] = 9;  // format 0: LBADS 9
    return bytes;
}

// The fake's drives, which also answer Identify Namespace of namespace 1 with `nameSpace`
// (none: the command fails), counting the times it is asked.
class CNamespaceDrives final : public platform::IDriveSystem {
public:
    CNamespaceDrives(platform::IDriveSystem& inner,
                     std::optional<std::vector<std::uint8_t>> nameSpace)
        : m_pInner(&inner), m_nameSpace(std::move(nameSpace)) {}

    std::unique_ptr<platform::IDrive> OpenDrive(std::uint8_t number) override {
        auto drive = m_pInner->OpenDrive(number);
        return drive ? std::make_unique<CDrive>(std::move(drive), *this) : nullptr;
    }
    int Asked() const { return m_nAsked; }

private:
    class CDrive final : public platform::IDrive {
    public:
        CDrive(std::unique_ptr<platform::IDrive> inner, CNamespaceDrives& owner)
            : m_pInner(std::move(inner)), m_owner(owner) {}
        bool IsNvme() const override { return m_pInner->IsNvme(); }
        bool GetVersion(platform::SmartVersion out) override { return m_pInner->GetVersion(out); }
        bool SendCommand(const platform::AtaRegisters& regs, int* errorCode) override {
            return m_pInner->SendCommand(regs, errorCode);
        }
        bool ReceiveData(const platform::AtaRegisters& regs, platform::AtaSector out) override {
            return m_pInner->ReceiveData(regs, out);
        }
        bool NvmeIdentifyController(std::span<std::uint8_t, 4096> out) override {
            return m_pInner->NvmeIdentifyController(out);
        }
        bool NvmeGetLogPage(std::uint8_t logId, std::span<std::uint8_t, 512> out) override {
            return m_pInner->NvmeGetLogPage(logId, out);
        }
        bool NvmeIdentifyNamespace(std::uint32_t nsid, std::span<std::uint8_t, 4096> out) override {
            ++m_owner.m_nAsked;
            std::fill(out.begin(), out.end(), std::uint8_t{0});
            if (nsid != 1 || !m_pInner->IsNvme() || !m_owner.m_nameSpace) return false;
            std::copy(m_owner.m_nameSpace->begin(), m_owner.m_nameSpace->end(), out.begin());
            return true;
        }

    private:
        std::unique_ptr<platform::IDrive> m_pInner;
        CNamespaceDrives& m_owner;
    };

    platform::IDriveSystem* m_pInner;
    std::optional<std::vector<std::uint8_t>> m_nameSpace;
    int m_nAsked = 0;
};

struct DriveCase {
    const char* name;
    FakeDrive drive;
    std::optional<std::vector<std::uint8_t>> nameSpace = std::nullopt;
    // The reading shows a capacity: from the controller's total or from namespace 1.
    bool bCapacity = false;
};

std::vector<DriveCase> Cases() {
    std::vector<DriveCase> cases;
    cases.push_back({"ATA", AtaDrive(), std::nullopt, true});
    cases.push_back({"NVMe without a total capacity, namespace 1 answers", NvmeDrive(),
                     NamespaceSector(), true});
    cases.push_back({"NVMe without a total capacity, namespace 1 fails", NvmeDrive()});
    FakeDrive total = NvmeDrive();
    (*total.nvmeIdentify)[280 + 5] = 0x01;  // TNVMCAP 2^40 bytes
    cases.push_back({"NVMe with a total capacity", total, NamespaceSector(), true});
    FakeDrive noIdentify = NvmeDrive();
    noIdentify.nvmeIdentify.reset();
    cases.push_back({"NVMe without Identify Controller", noIdentify, NamespaceSector()});
    FakeDrive failedEnable = AtaDrive();
    failedEnable.nEnableError = 19;
    cases.push_back({"ATA whose SMART enable fails", failedEnable});
    FakeDrive ataNoIdentify = AtaDrive();
    ataNoIdentify.identify.reset();
    cases.push_back({"ATA without IDENTIFY", ataNoIdentify});
    FakeDrive shortSmart = AtaDrive();
    shortSmart.smartData->resize(300);
    cases.push_back({"ATA with a short SMART sector", shortSmart, std::nullopt, true});
    FakeDrive noSmart = AtaDrive();
    noSmart.bSmartCapable = false;
    cases.push_back({"ATA without SMART commands", noSmart});
    FakeDrive noVersion = AtaDrive();
    noVersion.bVersionOk = false;
    cases.push_back({"no version", noVersion});
    FakeDrive nvmeNoLog = NvmeDrive();
    nvmeNoLog.nvmeHealthLog.reset();
    cases.push_back({"NVMe without its log", nvmeNoLog});
    FakeDrive gone = AtaDrive();
    gone.bGone = true;
    cases.push_back({"a drive that was pulled", gone});
    FakeDrive closed = AtaDrive();
    closed.bOpens = false;
    cases.push_back({"a drive that does not open", closed});
    return cases;
}

void ExpectSameReading(const CHdSmart& direct, const CHdSmart& replayed) {
    EXPECT_EQ(replayed.m_strModel, direct.m_strModel);
    EXPECT_EQ(replayed.m_strSerial, direct.m_strSerial);
    EXPECT_EQ(replayed.m_strFirmware, direct.m_strFirmware);
    EXPECT_EQ(replayed.m_strTemperature, direct.m_strTemperature);
    EXPECT_EQ(replayed.m_strPowerOnHours, direct.m_strPowerOnHours);
    EXPECT_EQ(replayed.m_strPowerCycles, direct.m_strPowerCycles);
    EXPECT_EQ(replayed.m_strReallocatedSectors, direct.m_strReallocatedSectors);
    EXPECT_EQ(replayed.m_strPercentageUsed, direct.m_strPercentageUsed);
    EXPECT_EQ(replayed.m_strAvailableSpare, direct.m_strAvailableSpare);
    EXPECT_EQ(replayed.m_strMediaErrors, direct.m_strMediaErrors);
    EXPECT_EQ(replayed.m_strCapacity, direct.m_strCapacity);
    EXPECT_EQ(replayed.m_identityKind, direct.m_identityKind);
    EXPECT_EQ(replayed.m_drive[0].m_version, direct.m_drive[0].m_version);
    EXPECT_EQ(replayed.m_drive[0].m_identify, direct.m_drive[0].m_identify);
    EXPECT_EQ(replayed.m_drive[0].m_strError, direct.m_drive[0].m_strError);
}

// The probe sends the commands the reader sends, and Identify Namespace of namespace 1
// whenever Identify Controller answered (the reader asks for it only when the controller
// reports no total capacity); the reader over the probe's stream ends with the same texts,
// error messages and capacity included, as over the drive.
TEST(ProbeRead, TheReaderOverTheStreamMatchesTheReaderOverTheDrive) {
    testsupport::CTempDir empty;
    for (const DriveCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        CFakeDriveSystem directFake({c.drive});
        CNamespaceDrives direct(directFake, c.nameSpace);
        const CHdSmart directRead(direct);
        EXPECT_EQ(directRead.m_strCapacity.empty(), !c.bCapacity);

        CFakeDriveSystem probedFake({c.drive});
        CNamespaceDrives probed(probedFake, c.nameSpace);
        const auto data = probe::ReadProbeData(empty.Path().string(), probed);
        EXPECT_EQ(probedFake.Calls(), directFake.Calls());
        const bool identified = c.drive.bNvme && c.drive.bOpens && c.drive.nvmeIdentify;
        EXPECT_EQ(probed.Asked(), identified ? 1 : 0);
        EXPECT_LE(direct.Asked(), probed.Asked());

        const auto stream = probe::WriteProbeStream(data);
        ASSERT_TRUE(stream);
        std::string err;
        const auto back = probe::ReadProbeStream(*stream, &err);
        ASSERT_TRUE(back) << err;
        const auto replay = probe::DriveSystemOf(*back);
        const CHdSmart replayed(*replay);
        ExpectSameReading(directRead, replayed);
    }
}

TEST(ProbeRead, TheTablesMatchTheFolderReader) {
    // An SMBIOS 3.2 entry point and a two-structure table.
    std::vector<std::uint8_t> entry(0x18, 0);
    const std::string anchor = "_SM3_";
    std::copy(anchor.begin(), anchor.end(), entry.begin());
    entry[0x06] = 0x18;
    entry[0x07] = 3;
    entry[0x08] = 2;
    entry[0x0C] = 12;
    const std::vector<std::uint8_t> table{0x7F, 4, 0, 0, 0, 0, 0x7F, 4, 1, 0, 0, 0};

    testsupport::CTempDir dir;
    dir.Write("smbios_entry_point", entry);
    dir.Write("DMI", table);
    CFakeDriveSystem none;
    const auto data = probe::ReadProbeData(dir.Path().string(), none);
    EXPECT_EQ(data.smbiosEntryPoint, entry);
    EXPECT_EQ(data.smbiosTable, table);
    ASSERT_EQ(data.drives.size(), 1u);
    EXPECT_FALSE(data.drives[0].bOpened);

    auto expectSame = [](const platform::RawSmbios& a, const platform::RawSmbios& b) {
        EXPECT_EQ(a.bReached, b.bReached);
        EXPECT_EQ(a.major, b.major);
        EXPECT_EQ(a.minor, b.minor);
        EXPECT_EQ(a.table, b.table);
    };
    platform::CDmiFolderSmbiosSource folder(dir.Path().string());
    expectSame(probe::SmbiosSourceOf(data)->ReadTables(), folder.ReadTables());
    EXPECT_EQ(probe::SmbiosSourceOf(data)->ReadTables().major, 3);

    // A table too large for the decoder comes one byte past the limit, as from the folder.
    dir.Write("DMI", std::vector<std::uint8_t>(70000, 0x7F));
    const auto large = probe::ReadProbeData(dir.Path().string(), none);
    ASSERT_TRUE(large.smbiosTable);
    EXPECT_EQ(large.smbiosTable->size(), probe::kMaxTableBytes);
    expectSame(probe::SmbiosSourceOf(large)->ReadTables(), folder.ReadTables());
    EXPECT_TRUE(probe::WriteProbeStream(large));

    // Unreadable files: the tables were not reached, as a user finds them.
    testsupport::CTempDir bare;
    const auto nothing = probe::ReadProbeData(bare.Path().string(), none);
    EXPECT_FALSE(nothing.smbiosEntryPoint);
    EXPECT_FALSE(nothing.smbiosTable);
    EXPECT_FALSE(probe::SmbiosSourceOf(nothing)->ReadTables().bReached);
}

}  // namespace
