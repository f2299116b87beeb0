#include "platform/windows/wmi_smbios_source_win32.h"

#include <utility>

#include "platform/windows/wmi_smbios_query.h"
#include "platform/windows/wmi_smbios_session_win32.h"

namespace platform {
namespace {

class CWmiSmbiosSource final : public ISmbiosSource {
public:
    RawSmbios ReadTables() override {
        const auto deadline = CWmiRawSmbiosSession::Clock::now() + kWmiTimeLimit;
        // The session lives and ends (giving everything back, COM last) on the fetch's own
        // thread, which also ends by itself when it is given up on: its one unbounded call,
        // ConnectServer, is held to the service's maximum wait.
        auto answer = FetchWithin(
            [deadline] {
                CWmiRawSmbiosSession session(deadline);
                return ReadRawSmbios(session);
            },
            kWmiTimeLimit);
        // No answer in time is no connection.
        return answer ? std::move(*answer) : RawSmbios{};
    }
};

}  // namespace

std::unique_ptr<ISmbiosSource> MakeWmiSmbiosSource() {
    return std::make_unique<CWmiSmbiosSource>();
}

}  // namespace platform
