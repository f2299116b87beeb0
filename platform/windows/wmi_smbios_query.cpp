#include "platform/windows/wmi_smbios_query.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

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

std::optional<RawSmbios> FetchWithin(std::function<RawSmbios()> fetch,
                                     std::chrono::milliseconds limit) {
    // Shared with the thread, which may outlive this call.
    struct CHandOver {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<RawSmbios> answer;
    };
    const auto handOver = std::make_shared<CHandOver>();
    try {
        std::thread([handOver, fetch = std::move(fetch)] {
            RawSmbios answer = fetch();
            const std::lock_guard<std::mutex> lock(handOver->mutex);
            handOver->answer = std::move(answer);
            handOver->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    std::unique_lock<std::mutex> lock(handOver->mutex);
    if (!handOver->done.wait_for(lock, limit, [&] { return handOver->answer.has_value(); })) {
        return std::nullopt;
    }
    return std::move(handOver->answer);
}

}  // namespace platform
