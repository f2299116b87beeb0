// libFuzzer target: the window's reader of the probe stream, on any bytes. Whatever it takes
// must write back to a stream that reads as the same data, and the replayed drive must
// answer without fault.
#include <array>
#include <cstdlib>
#include <span>

#include "probe/probe_stream.h"
#include "probe/recorded_drive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const auto read = probe::ReadProbeStream(input, nullptr);
    if (!read) return 0;
    const auto written = probe::WriteProbeStream(*read);
    if (!written || probe::ReadProbeStream(*written, nullptr) != read) std::abort();
    platform::CReplayDriveSystem replay(read->drives);
    if (auto drive = replay.OpenDrive(0)) {
        std::array<std::uint8_t, platform::kSmartVersionBytes> version{};
        static_cast<void>(drive->GetVersion(version));
        std::array<std::uint8_t, platform::kNvmeIdentifyBytes> identify{};
        static_cast<void>(drive->NvmeIdentifyController(identify));
        static_cast<void>(drive->NvmeIdentifyNamespace(1, identify));
        std::array<std::uint8_t, platform::kAtaSectorBytes> sector{};
        static_cast<void>(drive->ReceiveData({0, 1, 1, 0, 0, 0xA0, 0xEC}, sector));
    }
    return 0;
}
