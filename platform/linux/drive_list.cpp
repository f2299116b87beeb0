#include "platform/linux/drive_list.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string_view>
#include <tuple>

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 7> kSkippedPrefixes = {"loop", "ram", "zram", "dm-",
                                                              "md",   "sr",  "fd"};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Consumes one or more digits from the front of `s`.
bool TakeDigits(std::string_view& s) {
    std::size_t n = 0;
    while (n < s.size() && IsDigit(s[n])) ++n;
    s.remove_prefix(n);
    return n > 0;
}

bool TakePrefix(std::string_view& s, std::string_view prefix) {
    if (!s.starts_with(prefix)) return false;
    s.remove_prefix(prefix.size());
    return true;
}

// "nvme<N>": a controller's character device.
bool IsNvmeController(std::string_view s) {
    return TakePrefix(s, "nvme") && TakeDigits(s) && s.empty();
}

// "nvme<C>n<N>": a namespace disk.
bool IsNvmeNamespace(std::string_view s) {
    return TakePrefix(s, "nvme") && TakeDigits(s) && TakePrefix(s, "n") && TakeDigits(s) &&
           s.empty();
}

// "nvme<S>c<C>n<N>": one path of a multipath namespace, a hidden disk.
bool IsNvmePath(std::string_view s) {
    return TakePrefix(s, "nvme") && TakeDigits(s) && TakePrefix(s, "c") && TakeDigits(s) &&
           TakePrefix(s, "n") && TakeDigits(s) && s.empty();
}

bool IsSkipped(std::string_view name) {
    return std::any_of(kSkippedPrefixes.begin(), kSkippedPrefixes.end(),
                       [&](std::string_view prefix) { return name.starts_with(prefix); }) ||
           IsNvmePath(name);
}

std::string ReadFirstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

bool IsOnUsb(const fs::path& blockEntry) {
    std::error_code ec;
    fs::path real = fs::canonical(blockEntry, ec);
    if (ec) real = blockEntry;
    return std::any_of(real.begin(), real.end(), [](const fs::path& part) {
        return std::string_view(part.native()).starts_with("usb");
    });
}

// The controller behind a namespace disk. Without native multipath the disk's device link
// is the controller itself; with it, the link names the subsystem, whose controllers are
// listed inside it.
std::string NvmeControllerOf(const fs::path& blockEntry, std::string_view diskName) {
    std::error_code ec;
    const fs::path device = fs::canonical(blockEntry / "device", ec);
    if (!ec) {
        const std::string base = device.filename().string();
        if (IsNvmeController(base)) return base;
        std::vector<std::string> controllers;
        for (const auto& entry : fs::directory_iterator(device, ec)) {
            const std::string name = entry.path().filename().string();
            if (IsNvmeController(name)) controllers.push_back(name);
        }
        if (!controllers.empty()) return *std::min_element(controllers.begin(), controllers.end());
    }
    // No usable link: the disk's own name starts with its controller's.
    std::size_t end = 4;  // after "nvme"
    while (end < diskName.size() && IsDigit(diskName[end])) ++end;
    return std::string(diskName.substr(0, end));
}

}  // namespace

bool DriveOrderLess(const BlockDrive& a, const BlockDrive& b) {
    return std::make_tuple(!a.bInternal, !a.bNvme, std::string_view(a.name)) <
           std::make_tuple(!b.bInternal, !b.bNvme, std::string_view(b.name));
}

std::vector<BlockDrive> ListPhysicalDrives(const fs::path& sysRoot) {
    std::vector<BlockDrive> drives;
    std::error_code ec;
    const fs::path blockDir = sysRoot / "block";
    for (const auto& entry : fs::directory_iterator(blockDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (IsSkipped(name)) continue;
        std::error_code linkEc;
        if (!fs::exists(fs::symlink_status(entry.path() / "device", linkEc))) continue;

        BlockDrive drive;
        drive.name = name;
        drive.bNvme = IsNvmeNamespace(name);
        if (drive.bNvme) drive.controller = NvmeControllerOf(entry.path(), name);
        const bool removable = ReadFirstLine(entry.path() / "removable") == "1";
        drive.bInternal = !removable && !IsOnUsb(entry.path());
        drives.push_back(std::move(drive));
    }
    std::sort(drives.begin(), drives.end(), DriveOrderLess);
    return drives;
}

}  // namespace platform
