#include "platform/windows/wmi_smbios_source.h"

#include "platform/windows/wmi_smbios_query.h"
#include "platform/windows/wmi_smbios_session.h"

namespace platform {
namespace {

class CWmiSmbiosSource final : public ISmbiosSource {
public:
    RawSmbios ReadTables() override {
        // The session ends, and gives everything back, before the tables are returned.
        CWmiRawSmbiosSession session;
        return ReadRawSmbios(session);
    }
};

}  // namespace

std::unique_ptr<ISmbiosSource> MakeWmiSmbiosSource() {
    return std::make_unique<CWmiSmbiosSource>();
}

}  // namespace platform
