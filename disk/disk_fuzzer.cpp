// Any bytes a drive could return: the input is cut into an IDENTIFY sector, a SMART data
// sector, an Identify Controller structure and a health log (each padded or cut to size,
// and sometimes left short), run through the reader and the page builder, and the loose
// decoders get the raw input at its own size.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "disk/ata_identify.h"
#include "disk/disk_page.h"
#include "disk/hd_smart.h"
#include "disk/nvme_health.h"
#include "disk/smart_attributes.h"
#include "platform/fake/fake_drive_system.h"

namespace {

// The next `size` bytes of the input (zero-padded), or fewer when `shortBy` says so.
std::vector<std::uint8_t> Take(std::span<const std::uint8_t>& input, std::size_t size,
                               std::size_t shortBy) {
    const std::size_t n = std::min(input.size(), size);
    std::vector<std::uint8_t> bytes(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n));
    input = input.subspan(n);
    bytes.resize(size - std::min(size, shortBy), 0);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> all(data, size);
    static_cast<void>(disk::WalkSmartAttributes(all));
    static_cast<void>(disk::DecodeNvmeIdentity(all));
    static_cast<void>(disk::DecodeNvmeHealth(all));
    std::vector<std::uint8_t> field(
        all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(size, 64)));
    disk::FixAtaString(field);
    static_cast<void>(disk::FieldText(field));

    std::span<const std::uint8_t> input = all;
    const std::uint8_t flags = input.empty() ? 0 : input[0];
    if (!input.empty()) input = input.subspan(1);
    const std::size_t shortBy = (flags & 0x10) ? (flags & 0x0F) : 0;

    platform::FakeDrive ata;
    ata.bSmartCapable = (flags & 0x80) == 0;
    ata.nEnableError = (flags & 0x40) ? 5 : 0;
    ata.identify = Take(input, 512, shortBy);
    ata.smartData = Take(input, 512, 0);

    platform::FakeDrive nvme;
    nvme.bNvme = true;
    nvme.bVersionOk = (flags & 0x20) != 0;
    nvme.bSmartCapable = false;
    nvme.nvmeIdentify = Take(input, 4096, shortBy);
    nvme.nvmeHealthLog = Take(input, 512, 0);

    platform::CFakeDriveSystem drives({ata, nvme});
    CHdSmart smart(drives);
    static_cast<void>(smart.ReadDrive(1));
    static_cast<void>(smart.ReadDrive(flags));
    static_cast<void>(disk::BuildDiskPage(smart));
    return 0;
}
