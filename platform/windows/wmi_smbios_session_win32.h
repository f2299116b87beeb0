// The real WMI session behind IWmiRawSmbiosQuery: COM for the calling thread and the four
// WMI objects of one fetch, all given back when the session ends.
#pragma once

#include <wbemidl.h>

#include <chrono>

#include "platform/windows/wmi_smbios_query.h"

namespace platform {

class CWmiRawSmbiosSession final : public IWmiRawSmbiosQuery {
public:
    using Clock = std::chrono::steady_clock;
    // NextInstance waits no longer than `deadline`; the default waits as long as WMI takes.
    explicit CWmiRawSmbiosSession(Clock::time_point deadline = Clock::time_point::max())
        : m_deadline(deadline) {}
    // Releases every object obtained, then ends COM for the thread if Connect began it.
    ~CWmiRawSmbiosSession() override;
    CWmiRawSmbiosSession(const CWmiRawSmbiosSession&) = delete;
    CWmiRawSmbiosSession& operator=(const CWmiRawSmbiosSession&) = delete;

    bool Connect() override;
    bool NextInstance() override;
    std::optional<std::uint8_t> GetByte(std::string_view name) override;
    std::optional<std::vector<std::uint8_t>> GetBytes(std::string_view name) override;

private:
    // What is left of the time to the deadline, for IEnumWbemClassObject::Next.
    long TimeoutMilliseconds() const;
    // Fills `value` (cleared by the caller) with the property `name`; false when Get fails.
    bool GetProperty(std::string_view name, VARIANT* value);
    void Release();

    Clock::time_point m_deadline;
    // True when this session's CoInitializeEx succeeded and must be balanced.
    bool m_bComInitialized = false;
    IWbemLocator* m_pLocator = nullptr;
    IWbemServices* m_pServices = nullptr;
    IEnumWbemClassObject* m_pEnumerator = nullptr;
    IWbemClassObject* m_pInstance = nullptr;
};

}  // namespace platform
