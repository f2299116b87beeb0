#include "platform/windows/wmi_smbios_query.h"

namespace platform {

RawSmbios ReadRawSmbios(IWmiRawSmbiosQuery& query) {
    RawSmbios raw;
    if (!query.Connect()) return raw;
    raw.bReached = true;
    // Only the first instance is read; a second one is never asked for.
    if (!query.NextInstance()) return raw;
    // Each part is read only when the one before it was there, so a table never comes
    // without its version.
    raw.major = query.GetByte(kWmiMajorVersionProperty);
    if (!raw.major) return raw;
    raw.minor = query.GetByte(kWmiMinorVersionProperty);
    if (!raw.minor) return raw;
    raw.table = query.GetBytes(kWmiTableDataProperty);
    if (raw.table && raw.table->size() > kWmiMaxHandedUpBytes) {
        raw.table->resize(kWmiMaxHandedUpBytes);
        raw.table->shrink_to_fit();
    }
    return raw;
}

}  // namespace platform
