// A drive saved as raw sectors, answering the SMART reader's commands as the drive did: the
// hard-disk page of a saved drive comes from the same command sequence as a live one.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/drive_system.h"

namespace cli {

struct SavedDrive {
    bool bNvme = false;
    // ATA: IDENTIFY DEVICE data and the SMART READ DATA sector (512 bytes each).
    std::vector<std::uint8_t> identify;
    std::vector<std::uint8_t> smartData;
    // NVMe: Identify Controller (4096 bytes) and the SMART / Health log page (512 bytes).
    std::vector<std::uint8_t> nvmeIdentify;
    std::vector<std::uint8_t> nvmeHealthLog;
    // NVMe, when saved: Identify Namespace of namespace 1 (4096 bytes), for the capacity.
    std::vector<std::uint8_t> nvmeNamespace;
};

// A machine whose drive 0 is `drive` and which has no other drive.
class CSavedDriveSystem final : public platform::IDriveSystem {
public:
    explicit CSavedDriveSystem(SavedDrive drive) : m_drive(std::move(drive)) {}
    std::unique_ptr<platform::IDrive> OpenDrive(std::uint8_t number) override;

private:
    SavedDrive m_drive;
};

}  // namespace cli
