// GetSystemFirmwareTable behind IFirmwareTables. Nothing here reads the reply.
#include <windows.h>

#include "platform/windows/rsmb_table.h"

namespace platform {
namespace {

class CWin32FirmwareTables final : public IFirmwareTables {
public:
    std::optional<std::vector<std::uint8_t>> Read(std::uint32_t provider,
                                                  std::uint32_t id) override {
        // With no buffer the call answers the size the table needs (0: it failed).
        const UINT size = GetSystemFirmwareTable(provider, id, nullptr, 0);
        if (size == 0 || size > kMaxRsmbReplyBytes) return std::nullopt;
        std::vector<std::uint8_t> reply(size);
        const UINT written = GetSystemFirmwareTable(provider, id, reply.data(), size);
        // More than the buffer: the table changed between the calls; the buffer holds no
        // whole reply then.
        if (written == 0 || written > size) return std::nullopt;
        reply.resize(written);
        return reply;
    }
};

}  // namespace

std::unique_ptr<IFirmwareTables> MakeWin32FirmwareTables() {
    return std::make_unique<CWin32FirmwareTables>();
}

}  // namespace platform
