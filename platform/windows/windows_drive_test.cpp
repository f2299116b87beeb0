// The drive logic of the Windows drive seam, over recorded DeviceIoControl replies.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "platform/windows/nvme_query.h"
#include "platform/windows/windows_drive_recording.h"
#include "platform/windows/windows_drive_system.h"

namespace platform {
namespace {

using namespace platform::drive_testing;

constexpr AtaRegisters kEnable{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};
constexpr AtaRegisters kIdentify{0x00, 1, 1, 0x00, 0x00, 0xA0, 0xEC};
constexpr AtaRegisters kReadData{0xD0, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0};

std::vector<std::uint8_t> Bytes(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i * 3);
    return bytes;
}

// A drive system whose every drive answers from `recording`; records the paths opened and
// every call made.
struct Bench {
    DriveRecording recording;
    bool bOpens = true;
    std::vector<std::string> paths;
    std::vector<RecordedCall> calls;

    CWindowsDriveSystem System() {
        return CWindowsDriveSystem([this](const std::string& path) -> std::unique_ptr<IDeviceIo> {
            paths.push_back(path);
            if (!bOpens) return nullptr;
            return std::make_unique<CRecordedDeviceIo>(recording, &calls);
        });
    }
    std::unique_ptr<IDrive> Open(std::uint8_t number = 0) { return System().OpenDrive(number); }
    // The calls after the bus query that every open makes.
    std::vector<RecordedCall> CommandsAfterOpen() const {
        return {calls.begin() + std::min<std::size_t>(1, calls.size()), calls.end()};
    }
};

TEST(WindowsDrive, OpensPhysicalDrivesZeroToThirtyOne) {
    Bench bench;
    bench.recording.busQuery = Reply(DeviceDescriptorReply(0x0B));  // drive 0 is internal
    auto system = bench.System();
    EXPECT_TRUE(system.OpenDrive(0));
    EXPECT_TRUE(system.OpenDrive(31));
    EXPECT_FALSE(system.OpenDrive(32));
    EXPECT_FALSE(system.OpenDrive(255));
    EXPECT_EQ(bench.paths,
              (std::vector<std::string>{"\\\\.\\PhysicalDrive0", "\\\\.\\PhysicalDrive31"}));

    bench.bOpens = false;
    EXPECT_FALSE(system.OpenDrive(1));
    EXPECT_EQ(bench.paths.back(), "\\\\.\\PhysicalDrive1");
}

TEST(WindowsDrive, DriveZeroIsTheFirstInternalDrive) {
    // Each drive answers IDENTIFY DEVICE with its own sector; nullopt: no such drive.
    const auto drive = [](std::uint8_t n, std::optional<std::uint32_t> bus, bool removable) {
        DriveRecording recording = AtaDriveRecording(Bytes(512, n), std::nullopt);
        recording.busQuery =
            bus ? Reply(DeviceDescriptorReply(*bus, removable)) : RecordedReply::Failing(50);
        return std::optional<DriveRecording>(recording);
    };
    constexpr std::uint32_t kUsb = 0x07, kSata = 0x0B, kSd = 0x0C, kRaid = 0x08;
    const std::optional<DriveRecording> kAbsent;
    struct Case {
        const char* what;
        std::vector<std::optional<DriveRecording>> drives;
        int expected;  // the PhysicalDrive taken; -1: none opens
    };
    const std::vector<Case> cases = {
        {"internal first", {drive(0, kSata, false), drive(1, kSata, false)}, 0},
        {"USB stick left in at boot", {drive(0, kUsb, true), drive(1, kSata, false)}, 1},
        {"USB disk", {drive(0, kUsb, false), drive(1, kRaid, false)}, 1},
        {"card reader", {drive(0, kSd, true), drive(1, kSata, false)}, 1},
        {"removable on SATA", {drive(0, kSata, true), drive(1, kSata, false)}, 1},
        {"no descriptor", {drive(0, std::nullopt, false), drive(1, kSata, false)}, 1},
        {"a gap", {drive(0, kUsb, true), kAbsent, drive(2, kSata, false)}, 2},
        {"none internal", {drive(0, kUsb, true), drive(1, kUsb, false)}, 0},
        {"nothing answers", {drive(0, std::nullopt, false), drive(1, std::nullopt, false)}, 0},
        {"none opens", {kAbsent, drive(1, kUsb, true)}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<RecordedCall> calls;
        CWindowsDriveSystem system(RecordedDrives(c.drives, &calls));
        const auto opened = system.OpenDrive(0);
        if (c.expected < 0) {
            EXPECT_FALSE(opened);
            continue;
        }
        ASSERT_TRUE(opened);
        std::array<std::uint8_t, 512> sector{};
        ASSERT_TRUE(opened->ReceiveData(kIdentify, sector));
        const auto expected = Bytes(512, static_cast<std::uint8_t>(c.expected));
        EXPECT_TRUE(std::equal(sector.begin(), sector.end(), expected.begin(), expected.end()));
        EXPECT_EQ(calls.back().in[12], c.expected);  // bDriveNumber
    }

    // Any other number is that PhysicalDrive, internal or not.
    CWindowsDriveSystem system(RecordedDrives({drive(0, kSata, false), drive(1, kUsb, true)}));
    std::array<std::uint8_t, 512> sector{};
    ASSERT_TRUE(system.OpenDrive(1)->ReceiveData(kIdentify, sector));
    EXPECT_EQ(sector[0], 1);
}

TEST(WindowsDrive, ABusThatMayHideNvmeIsSettledByWhatAnswers) {
    // An NVMe drive behind a RAID or vendor driver: the SMART pass-through gives no identity,
    // the protocol-specific queries may answer.
    struct Case {
        const char* what;
        std::uint32_t busType;
        bool bVersion, bAtaIdentity, bNvmeIdentify;
        bool bNvme;
    };
    const Case cases[] = {
        {"RAID, NVMe answers", 0x08, false, false, true, true},
        {"RAID, SMART version then no enable", 0x08, true, false, true, true},
        {"SCSI, NVMe answers", 0x01, false, false, true, true},
        {"unknown bus, NVMe answers", 0x00, false, false, true, true},
        {"RAID, nothing answers", 0x08, false, false, false, false},
        {"RAID, a SATA drive", 0x08, true, true, true, false},
        {"SATA: never asked", 0x0B, false, false, true, false},
        {"USB: never asked", 0x07, false, false, true, false},
    };
    const auto log = Bytes(512, 40);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bench bench;
        bench.recording = NvmeDriveRecording(std::nullopt, log);
        bench.recording.busQuery = Reply(DeviceDescriptorReply(c.busType));
        if (c.bVersion) bench.recording.version = Reply(VersionReply(0x07));
        if (c.bAtaIdentity) {
            bench.recording.enable = Reply(SendCmdOutReply({}, 0));
            bench.recording.identify = Reply(SendCmdOutReply(Bytes(512, 1), 512));
        }
        if (c.bNvmeIdentify)
            bench.recording.nvmeIdentify = Reply(ProtocolDataReply(Bytes(4096, 3)));
        const auto drive = bench.Open();
        EXPECT_EQ(drive->IsNvme(), c.bNvme);
        std::array<std::uint8_t, 512> out{};
        EXPECT_EQ(drive->NvmeGetLogPage(0x02, out), c.bNvme);  // the health log as for NVMe
        EXPECT_EQ(drive->ReceiveData(kIdentify, out), c.bAtaIdentity);
    }
    // Half an Identify page is no answer.
    Bench bench;
    bench.recording = NvmeDriveRecording(std::nullopt, log);
    bench.recording.busQuery = Reply(DeviceDescriptorReply(0x08));
    bench.recording.nvmeIdentify = Reply(ProtocolDataReply(Bytes(2048, 3)));
    EXPECT_FALSE(bench.Open()->IsNvme());
}

TEST(WindowsDrive, AsksTheBusOnceWhenOpened) {
    Bench bench;
    bench.recording.busQuery = Reply(DeviceDescriptorReply(0x11));
    const auto nvme = bench.Open();
    ASSERT_TRUE(nvme);
    EXPECT_TRUE(nvme->IsNvme());
    ASSERT_EQ(bench.calls.size(), 1u);
    EXPECT_EQ(bench.calls[0].code, 0x2D1400u);
    EXPECT_EQ(bench.calls[0].in, std::vector<std::uint8_t>(12, 0));
    EXPECT_GE(bench.calls[0].outBytes, 40u);

    bench.recording.busQuery = Reply(DeviceDescriptorReply(0x0B));
    EXPECT_FALSE(bench.Open()->IsNvme());
    bench.recording.busQuery = RecordedReply::Failing(50);  // Wine
    EXPECT_FALSE(bench.Open()->IsNvme());
    bench.recording.busQuery = {DeviceDescriptorReply(0x11), 20u, false, 0};  // short
    EXPECT_FALSE(bench.Open()->IsNvme());
    bench.recording.busQuery = {DeviceDescriptorReply(0x11), 2000u, false, 0};  // past the buffer
    EXPECT_FALSE(bench.Open()->IsNvme());
}

TEST(WindowsDrive, VersionComesWholeOrNotAtAll) {
    Bench bench;
    auto version = VersionReply(0x07);
    version[20] = 0x99;
    bench.recording.version = Reply(version);
    std::array<std::uint8_t, 24> out{};
    ASSERT_TRUE(bench.Open()->GetVersion(out));
    EXPECT_TRUE(std::equal(out.begin(), out.end(), version.begin(), version.end()));
    const auto& call = bench.calls.back();
    EXPECT_EQ(call.code, 0x74080u);
    EXPECT_TRUE(call.in.empty());
    EXPECT_EQ(call.outBytes, 24u);

    for (const RecordedReply& bad :
         {RecordedReply{version, 23u, false, 0}, RecordedReply{version, 25u, false, 0},
          RecordedReply::Failing(50)}) {
        bench.recording.version = bad;
        out.fill(0xEE);
        EXPECT_FALSE(bench.Open()->GetVersion(out));
        EXPECT_EQ(out, (std::array<std::uint8_t, 24>{}));
    }
}

TEST(WindowsDrive, EnableSendsTheCommandAndReportsTheSystemsError) {
    Bench bench;
    bench.recording.enable = Reply(SendCmdOutReply({}, 0));
    const auto drive = bench.Open(2);
    int error = -1;
    ASSERT_TRUE(drive->SendCommand(kEnable, &error));
    EXPECT_EQ(error, 0);
    const auto& call = bench.calls.back();
    EXPECT_EQ(call.code, 0x7C084u);
    ASSERT_EQ(call.in.size(), 33u);
    EXPECT_EQ(base::ReadLe32(call.in, 0), 0u);
    EXPECT_EQ(std::vector<std::uint8_t>(call.in.begin() + 4, call.in.begin() + 13),
              (std::vector<std::uint8_t>{0xD8, 1, 1, 0x4F, 0xC2, 0xA0, 0xB0, 0, 2}));
    EXPECT_EQ(call.outBytes, 17u);

    bench.recording.enable = RecordedReply::Failing(5);
    EXPECT_FALSE(bench.Open()->SendCommand(kEnable, &error));
    EXPECT_EQ(error, 5);
    bench.recording.enable = Reply(SendCmdOutReply({}, 0, 1, 0x04));  // drive aborted it
    EXPECT_FALSE(bench.Open()->SendCommand(kEnable, &error));
    EXPECT_EQ(error, kErrorIoDevice);
    bench.recording.enable = {SendCmdOutReply({}, 0), 12u, false, 0};  // head cut short
    EXPECT_FALSE(bench.Open()->SendCommand(kEnable, &error));
    EXPECT_EQ(error, kErrorInvalidData);
    bench.recording.enable = {SendCmdOutReply({}, 0), 18u, false, 0};  // past the 17 bytes
    EXPECT_FALSE(bench.Open()->SendCommand(kEnable, &error));
    EXPECT_EQ(error, kErrorInvalidData);
}

TEST(WindowsDrive, OtherCommandsNeverReachTheDrive) {
    Bench bench;
    bench.recording.enable = Reply(SendCmdOutReply({}, 0));
    bench.recording.identify = Reply(SendCmdOutReply(Bytes(512, 1), 512));
    bench.recording.smartData = Reply(SendCmdOutReply(Bytes(512, 2), 512));
    const auto drive = bench.Open();
    const std::size_t before = bench.calls.size();

    AtaRegisters disable = kEnable;
    disable.features = 0xD9;
    AtaRegisters selfTest = kEnable;
    selfTest.features = 0xD4;
    for (const AtaRegisters& regs : {disable, selfTest, kReadData, kIdentify}) {
        int error = 0;
        EXPECT_FALSE(drive->SendCommand(regs, &error));
        EXPECT_EQ(error, kErrorAccessDenied);
    }
    AtaRegisters readLog = kReadData;
    readLog.features = 0xD5;
    AtaRegisters readSectors = kIdentify;
    readSectors.command = 0x20;
    std::array<std::uint8_t, 512> sector{};
    for (const AtaRegisters& regs : {readLog, readSectors, kEnable}) {
        EXPECT_FALSE(drive->ReceiveData(regs, sector));
    }
    EXPECT_EQ(bench.calls.size(), before);
}

TEST(WindowsDrive, SectorsComeThroughTheReceiveCall) {
    Bench bench;
    const auto identify = Bytes(512, 10);
    const auto smart = Bytes(512, 20);
    bench.recording.identify = Reply(SendCmdOutReply(identify, 512));
    bench.recording.smartData = Reply(SendCmdOutReply(smart, 512));
    const auto drive = bench.Open(5);
    std::array<std::uint8_t, 512> sector{};

    ASSERT_TRUE(drive->ReceiveData(kIdentify, sector));
    EXPECT_TRUE(std::equal(sector.begin(), sector.end(), identify.begin(), identify.end()));
    EXPECT_EQ(bench.calls.back().code, 0x7C088u);
    EXPECT_EQ(bench.calls.back().outBytes, 528u);
    EXPECT_EQ(base::ReadLe32(bench.calls.back().in, 0), 512u);
    EXPECT_EQ(bench.calls.back().in[10], 0xEC);
    EXPECT_EQ(bench.calls.back().in[12], 5);

    ASSERT_TRUE(drive->ReceiveData(kReadData, sector));
    EXPECT_TRUE(std::equal(sector.begin(), sector.end(), smart.begin(), smart.end()));
    EXPECT_EQ(bench.calls.back().outBytes, 531u);
    EXPECT_EQ(bench.calls.back().in[4], 0xD0);
}

TEST(WindowsDrive, ShortLyingOrFailedSectorLeavesNothing) {
    const auto identify = Bytes(512, 10);
    const std::vector<RecordedReply> bad = {
        {SendCmdOutReply(identify, 512), 527u, false, 0},  // one byte short
        {SendCmdOutReply(identify, 512), 529u, false, 0},  // more than the 528-byte buffer
        {SendCmdOutReply(identify, 512), 0xFFFFFFFFu, false, 0},
        Reply(SendCmdOutReply(std::span(identify).first(100), 512)),  // cBufferSize lies
        Reply(SendCmdOutReply(identify, 100)),
        Reply(SendCmdOutReply(identify, 512, 1, 0x04)),
        RecordedReply::Failing(1117),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        Bench bench;
        bench.recording.identify = bad[i];
        std::array<std::uint8_t, 512> sector;
        sector.fill(0xEE);
        EXPECT_FALSE(bench.Open()->ReceiveData(kIdentify, sector));
        EXPECT_EQ(sector, (std::array<std::uint8_t, 512>{}));
    }
}

TEST(WindowsDrive, NvmeDriveTakesTheProtocolQueriesAndNoAtaCommand) {
    Bench bench;
    const auto identify = Bytes(4096, 30);
    const auto health = Bytes(512, 40);
    bench.recording = NvmeDriveRecording(identify, health);
    bench.recording.version = Reply(VersionReply(0x07));
    bench.recording.enable = Reply(SendCmdOutReply({}, 0));
    const auto drive = bench.Open();
    ASSERT_TRUE(drive->IsNvme());

    std::array<std::uint8_t, 4096> identifyOut{};
    ASSERT_TRUE(drive->NvmeIdentifyController(identifyOut));
    EXPECT_TRUE(std::equal(identifyOut.begin(), identifyOut.end(), identify.begin()));
    EXPECT_EQ(bench.calls.back().code, 0x2D1400u);
    EXPECT_EQ(base::ReadLe32(bench.calls.back().in, 0), 49u);
    EXPECT_EQ(bench.calls.back().outBytes, 48u + 4096u);

    std::array<std::uint8_t, 512> log{};
    ASSERT_TRUE(drive->NvmeGetLogPage(0x02, log));
    EXPECT_TRUE(std::equal(log.begin(), log.end(), health.begin()));
    EXPECT_EQ(base::ReadLe32(bench.calls.back().in, 0), 50u);
    EXPECT_EQ(base::ReadLe32(bench.calls.back().in, 16), 2u);
    EXPECT_EQ(bench.calls.back().outBytes, 560u);

    const std::size_t before = bench.calls.size();
    std::array<std::uint8_t, 24> version{};
    EXPECT_FALSE(drive->GetVersion(version));
    int error = 0;
    EXPECT_FALSE(drive->SendCommand(kEnable, &error));
    EXPECT_EQ(error, kErrorNotSupported);
    std::array<std::uint8_t, 512> sector{};
    EXPECT_FALSE(drive->ReceiveData(kIdentify, sector));
    EXPECT_EQ(bench.calls.size(), before);
}

// Identify Namespace of namespace 1 from recorded replies: the data of a whole reply, and
// nothing (a zero buffer) from a refused or short one, from another namespace (never asked)
// or from a drive that is not NVMe (never asked either). Lying replies go through the same
// check as the health log's (LyingNvmeRepliesLeaveNothing).
TEST(WindowsDrive, IdentifyNamespaceTakesOnlyAWholeReplyForNamespaceOne) {
    const auto page = Bytes(4096, 60);
    const struct {
        const char* what;
        bool bNvme;
        std::uint32_t nsid;
        std::optional<RecordedReply> reply;
        bool bAnswered;
        bool bAsked;
    } kCases[] = {
        {"answered", true, 1, Reply(ProtocolDataReply(page)), true, true},
        {"refused by the driver", true, 1, RecordedReply::Failing(50), false, true},
        {"not recorded (Wine)", true, 1, std::nullopt, false, true},
        {"short: 512 bytes of data", true, 1, Reply(ProtocolDataReply(std::span(page).first(512))),
         false, true},
        {"short: fewer bytes returned", true, 1,
         RecordedReply{ProtocolDataReply(page), 48u + 4095u, false, 0}, false, true},
        {"a length that is not the structure's", true, 1,
         Reply(ProtocolDataReply(page, {48, 48, 40, 2048})), false, true},
        {"namespace 2", true, 2, Reply(ProtocolDataReply(page)), false, false},
        {"an ATA drive", false, 1, Reply(ProtocolDataReply(page)), false, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        Bench bench;
        bench.recording = c.bNvme ? NvmeDriveRecording(Bytes(4096, 30), Bytes(512, 40))
                                  : AtaDriveRecording(Bytes(512, 1), Bytes(512, 2));
        bench.recording.nvmeNamespace = c.reply;
        const auto drive = bench.Open();
        std::array<std::uint8_t, 4096> out;
        out.fill(0xEE);
        EXPECT_EQ(drive->NvmeIdentifyNamespace(c.nsid, out), c.bAnswered);
        if (c.bAnswered) {
            EXPECT_TRUE(std::equal(out.begin(), out.end(), page.begin()));
        } else {
            EXPECT_EQ(out, (std::array<std::uint8_t, 4096>{}));
        }
        const auto commands = bench.CommandsAfterOpen();
        ASSERT_EQ(commands.size(), c.bAsked ? 1u : 0u);
        if (c.bAsked) {
            EXPECT_EQ(commands[0].code, 0x2D1400u);
            EXPECT_EQ(commands[0].outBytes, 48u + 4096u);
            EXPECT_EQ(commands[0].in, BuildNvmeIdentifyNamespaceQuery(1).request);
        }
    }
}

TEST(WindowsDrive, AtaDriveSendsNoNvmeQuery) {
    Bench bench;
    bench.recording = AtaDriveRecording(Bytes(512, 1), Bytes(512, 2));
    bench.recording.nvmeIdentify = Reply(ProtocolDataReply(Bytes(4096, 3)));
    const auto drive = bench.Open();
    std::array<std::uint8_t, 4096> identify{};
    std::array<std::uint8_t, 512> log{};
    EXPECT_FALSE(drive->NvmeIdentifyController(identify));
    EXPECT_FALSE(drive->NvmeGetLogPage(0x02, log));
    EXPECT_TRUE(bench.CommandsAfterOpen().empty());
}

TEST(WindowsDrive, LyingNvmeRepliesLeaveNothing) {
    const auto health = Bytes(512, 40);
    const std::vector<RecordedReply> bad = {
        {ProtocolDataReply(health), 559u, false, 0},  // one byte short
        {ProtocolDataReply(health), 561u, false, 0},  // past the buffer
        Reply(ProtocolDataReply(health, {48, 48, 40, 1024})),
        Reply(ProtocolDataReply(health, {48, 48, 0x7FFFFFFF, {}})),
        Reply(ProtocolDataReply(health, {16, 48, 40, {}})),
        Reply(ProtocolDataReply(std::span(health).first(256))),
        RecordedReply::Failing(50),
    };
    for (std::size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        Bench bench;
        bench.recording = NvmeDriveRecording(std::nullopt, std::nullopt);
        bench.recording.nvmeLog = bad[i];
        std::array<std::uint8_t, 512> log;
        log.fill(0xEE);
        EXPECT_FALSE(bench.Open()->NvmeGetLogPage(0x02, log));
        EXPECT_EQ(log, (std::array<std::uint8_t, 512>{}));
    }
}

}  // namespace
}  // namespace platform
