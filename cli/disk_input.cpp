#include <cstdio>
#include <filesystem>
#include <vector>

#include "cli/inputs.h"
#include "disk/disk_page.h"
#include "disk/hd_smart.h"
#include "platform/drive_system.h"
#include "platform/fake/fake_drive_system.h"
#include "platform/file_io.h"

namespace cli {
namespace {

struct SavedFile {
    const char* name;
    const char* what;
    std::size_t size;
};

constexpr SavedFile kIdentify{"identify.bin", "IDENTIFY DEVICE data", 512};
constexpr SavedFile kSmartData{"smart.bin", "SMART READ DATA", 512};
constexpr SavedFile kIdCtrl{"id-ctrl.bin", "an Identify Controller structure", 4096};
constexpr SavedFile kSmartLog{"smart-log.bin", "a SMART / Health log page", 512};

std::optional<std::vector<std::uint8_t>> ReadSaved(const std::filesystem::path& dir,
                                                   const SavedFile& file, std::string* err) {
    const std::string path = (dir / file.name).string();
    auto bytes = platform::ReadFileBytes(path, file.size, err);
    if (!bytes) return std::nullopt;
    if (bytes->size() != file.size) {
        const std::string got = bytes->size() > file.size
                                    ? "more than " + std::to_string(file.size) + " bytes"
                                    : std::to_string(bytes->size()) + " bytes";
        *err = path + ": " + got + ", but " + file.what + " is " + std::to_string(file.size) +
               " bytes";
        return std::nullopt;
    }
    return bytes;
}

bool Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// A drive that answers the reader's commands from the saved sectors in `dir`, so the page
// comes from the same command sequence as on a live drive.
std::optional<platform::FakeDrive> SavedDrive(const std::string& dirName, std::string* err) {
    const std::filesystem::path dir(dirName);
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        *err = dirName + ": not a folder of saved drive sectors";
        return std::nullopt;
    }
    platform::FakeDrive drive;
    if (Exists(dir / kIdentify.name) || Exists(dir / kSmartData.name)) {
        drive.identify = ReadSaved(dir, kIdentify, err);
        if (!drive.identify) return std::nullopt;
        drive.smartData = ReadSaved(dir, kSmartData, err);
        if (!drive.smartData) return std::nullopt;
        return drive;
    }
    if (Exists(dir / kIdCtrl.name) || Exists(dir / kSmartLog.name)) {
        drive.bNvme = true;
        drive.bVersionOk = false;
        drive.bSmartCapable = false;
        drive.nvmeIdentify = ReadSaved(dir, kIdCtrl, err);
        if (!drive.nvmeIdentify) return std::nullopt;
        drive.nvmeHealthLog = ReadSaved(dir, kSmartLog, err);
        if (!drive.nvmeHealthLog) return std::nullopt;
        return drive;
    }
    *err = dirName + ": holds neither identify.bin and smart.bin (ATA) nor id-ctrl.bin and " +
           "smart-log.bin (NVMe)";
    return std::nullopt;
}

bool NothingRead(const CHdSmart& hdSmart) {
    return hdSmart.m_strModel.empty() && hdSmart.m_strSerial.empty() &&
           hdSmart.m_strFirmware.empty() && hdSmart.m_strTemperature.empty() &&
           hdSmart.m_strPowerOnHours.empty() && hdSmart.m_strPowerCycles.empty();
}

}  // namespace

std::optional<std::string> GatherDiskPage(const ReportOptions& options, std::string* err) {
    if (options.diskDump) {
        auto drive = SavedDrive(*options.diskDump, err);
        if (!drive) return std::nullopt;
        platform::CFakeDriveSystem drives({std::move(*drive)});
        const CHdSmart hdSmart(drives);
        return disk::BuildDiskPage(hdSmart);
    }
    platform::CLinuxDriveSystem drives;
    const CHdSmart hdSmart(drives);
    if (NothingRead(hdSmart)) {
        std::fprintf(stderr,
                     "quorrix-report: drive 0 gave no identity or SMART data (it must be an ATA "
                     "or NVMe drive, and reading it needs root); the hard-disk page stays "
                     "empty\n");
    }
    return disk::BuildDiskPage(hdSmart);
}

}  // namespace cli
