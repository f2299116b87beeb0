#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "cli/inputs.h"
#include "cli/saved_drive.h"
#include "platform/drive_system.h"
#include "platform/file_io.h"
#include "platform/system_sources.h"
#include "probe/probe_read.h"

namespace cli {
namespace {

struct SavedFile {
    const char* name;
    const char* what;
    std::size_t size;
};

constexpr SavedFile kIdentify{"identify.bin", "IDENTIFY DEVICE data", platform::kAtaSectorBytes};
constexpr SavedFile kSmartData{"smart.bin", "SMART READ DATA", platform::kAtaSectorBytes};
constexpr SavedFile kIdCtrl{"id-ctrl.bin", "an Identify Controller structure",
                            platform::kNvmeIdentifyBytes};
constexpr SavedFile kSmartLog{"smart-log.bin", "a SMART / Health log page",
                              platform::kNvmeLogPageBytes};
constexpr SavedFile kIdNs{"id-ns.bin", "an Identify Namespace structure",
                          platform::kNvmeIdentifyBytes};

bool ReadSaved(const std::filesystem::path& dir, const SavedFile& file,
               std::vector<std::uint8_t>* out, std::string* err) {
    const std::string path = Utf8Of(dir / file.name);
    auto bytes = platform::ReadSavedFileBytes(path, file.size, err);
    if (!bytes) return false;
    if (bytes->size() != file.size) {
        const std::string got = bytes->size() > file.size
                                    ? "more than " + std::to_string(file.size) + " bytes"
                                    : std::to_string(bytes->size()) + " bytes";
        *err = path + ": " + got + ", but " + file.what + " is " + std::to_string(file.size) +
               " bytes";
        return false;
    }
    *out = std::move(*bytes);
    return true;
}

bool Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// The drive saved in `dirName`: its sectors, read whole and checked for size.
std::unique_ptr<platform::IDriveSystem> SavedDriveIn(const std::string& dirName, std::string* err) {
    const std::filesystem::path dir = PathOf(dirName);
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        *err = dirName + ": not a folder of saved drive sectors";
        return nullptr;
    }
    SavedDrive drive;
    if (Exists(dir / kIdentify.name) || Exists(dir / kSmartData.name)) {
        if (!ReadSaved(dir, kIdentify, &drive.identify, err) ||
            !ReadSaved(dir, kSmartData, &drive.smartData, err))
            return nullptr;
        return std::make_unique<CSavedDriveSystem>(std::move(drive));
    }
    if (Exists(dir / kIdCtrl.name) || Exists(dir / kSmartLog.name)) {
        drive.bNvme = true;
        if (!ReadSaved(dir, kIdCtrl, &drive.nvmeIdentify, err) ||
            !ReadSaved(dir, kSmartLog, &drive.nvmeHealthLog, err))
            return nullptr;
        // Optional: the namespace's size, for a controller that reports no total capacity.
        if (Exists(dir / kIdNs.name) && !ReadSaved(dir, kIdNs, &drive.nvmeNamespace, err))
            return nullptr;
        return std::make_unique<CSavedDriveSystem>(std::move(drive));
    }
    *err = dirName + ": holds neither identify.bin and smart.bin (ATA) nor id-ctrl.bin and " +
           "smart-log.bin (NVMe)";
    return nullptr;
}

// A machine without drives: what the hard-disk page shows when saved data of another kind
// is named and this machine's drive is not to be read.
class CNoDriveSystem final : public platform::IDriveSystem {
public:
    std::unique_ptr<platform::IDrive> OpenDrive(std::uint8_t) override { return nullptr; }
};

bool NothingRead(const CHdSmart& hdSmart) {
    return hdSmart.m_strModel.empty() && hdSmart.m_strSerial.empty() &&
           hdSmart.m_strFirmware.empty() && hdSmart.m_strTemperature.empty() &&
           hdSmart.m_strPowerOnHours.empty() && hdSmart.m_strPowerCycles.empty();
}

// The reader over gathered.drives. With --save the drive is sent what quorrix-probe sends
// (the reader's commands, and Identify Namespace, which the reader asks only of a controller
// without a total capacity), through a recorder that keeps the replies for the saved files;
// the reader then reads those replies.
std::unique_ptr<CHdSmart> ReadOver(GatheredDisk& gathered, const ReportOptions& options) {
    if (!options.save) return std::make_unique<CHdSmart>(*gathered.drives);
    gathered.recorder = std::make_unique<platform::CRecordingDriveSystem>(*gathered.drives);
    probe::SendDriveCommands(*gathered.recorder);
    gathered.replay = std::make_unique<platform::CReplayDriveSystem>(gathered.recorder->Records());
    return std::make_unique<CHdSmart>(*gathered.replay);
}

}  // namespace

GatheredDisk GatherDisk(const ReportOptions& options, std::string* err) {
    GatheredDisk gathered;
    if (options.diskDump) {
        gathered.drives = SavedDriveIn(*options.diskDump, err);
        if (!gathered.drives) return {};
        gathered.hdSmart = ReadOver(gathered, options);
        return gathered;
    }
    if (NamesSavedData(options)) {
        gathered.drives = std::make_unique<CNoDriveSystem>();
        gathered.hdSmart = ReadOver(gathered, options);
        return gathered;
    }
    gathered.drives = platform::MakeSystemDriveSystem();
    gathered.hdSmart = ReadOver(gathered, options);
    if (NothingRead(*gathered.hdSmart)) {
        const std::string hint = platform::MissingRightsHint(platform::PrivilegedRead::kDrives);
        std::fprintf(stderr,
                     "quorrix-report: drive 0 gave no identity or SMART data (it must be an ATA "
                     "or NVMe drive%s); the hard-disk page stays empty\n",
                     hint.empty() ? "" : (", and " + hint).c_str());
    }
    return gathered;
}

}  // namespace cli
