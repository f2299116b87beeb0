#include "platform/windows/wmi_smbios_session_win32.h"

#include <objbase.h>
#include <oleauto.h>

#include <algorithm>

#include "platform/windows/wmi_variant_win32.h"

namespace platform {
namespace {

// A BSTR that lives as long as the call it is passed to.
class CBstr {
public:
    explicit CBstr(const wchar_t* text) : m_pText(SysAllocString(text)) {}
    // Property names are ASCII, so widening each byte is the whole conversion.
    explicit CBstr(std::string_view ascii)
        : m_pText(SysAllocStringLen(nullptr, static_cast<UINT>(ascii.size()))) {
        if (m_pText == nullptr) return;
        for (std::size_t i = 0; i < ascii.size(); ++i) {
            m_pText[i] = static_cast<wchar_t>(static_cast<unsigned char>(ascii[i]));
        }
    }
    ~CBstr() { SysFreeString(m_pText); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;

    BSTR Get() const { return m_pText; }

private:
    BSTR m_pText;
};

// A VARIANT that is cleared however the read ends.
class CVariant {
public:
    CVariant() { VariantInit(&m_value); }
    ~CVariant() { VariantClear(&m_value); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;

    VARIANT* Out() { return &m_value; }
    const VARIANT& Get() const { return m_value; }

private:
    VARIANT m_value;
};

template <typename T>
void ReleaseAndClear(T** object) {
    if (*object != nullptr) (*object)->Release();
    *object = nullptr;
}

}  // namespace

CWmiRawSmbiosSession::~CWmiRawSmbiosSession() {
    Release();
}

void CWmiRawSmbiosSession::Release() {
    // The reverse of the order they were obtained in; COM ends only after the last object.
    ReleaseAndClear(&m_pInstance);
    ReleaseAndClear(&m_pEnumerator);
    ReleaseAndClear(&m_pServices);
    ReleaseAndClear(&m_pLocator);
    if (m_bComInitialized) CoUninitialize();
    m_bComInitialized = false;
}

bool CWmiRawSmbiosSession::Connect() {
    Release();
    const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (init == RPC_E_CHANGED_MODE) {
        // Someone else made this thread a single-threaded apartment. COM works there and the
        // WMI locator accepts either model, so the query goes on in that apartment; the
        // failed call took no reference, so nothing is uninitialised for it.
    } else if (FAILED(init)) {
        return false;
    } else {
        // S_OK or S_FALSE (already a multithreaded apartment): both count and are balanced.
        m_bComInitialized = true;
    }

    auto fail = [this] {
        Release();
        return false;
    };
    if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                reinterpret_cast<void**>(&m_pLocator)))) {
        m_pLocator = nullptr;
        return fail();
    }
    const CBstr nameSpace(L"ROOT\\WMI");
    if (nameSpace.Get() == nullptr ||
        // WBEM_FLAG_CONNECT_USE_MAX_WAIT: a service that does not answer fails the connection
        // within two minutes, so that a thread given up on still ends.
        FAILED(m_pLocator->ConnectServer(nameSpace.Get(), nullptr, nullptr, nullptr,
                                         WBEM_FLAG_CONNECT_USE_MAX_WAIT, nullptr, nullptr,
                                         &m_pServices))) {
        m_pServices = nullptr;
        return fail();
    }
    if (FAILED(CoSetProxyBlanket(m_pServices, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr,
                                 RPC_C_AUTHN_LEVEL_CALL, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                                 EOAC_NONE))) {
        return fail();
    }
    const CBstr className(L"MSSMBios_RawSMBiosTables");
    // Semisynchronous: the enumerator comes back at once and Next waits for each instance
    // with a time limit of its own.
    if (className.Get() == nullptr ||
        FAILED(m_pServices->CreateInstanceEnum(
            className.Get(), WBEM_FLAG_RETURN_IMMEDIATELY | WBEM_FLAG_FORWARD_ONLY, nullptr,
            &m_pEnumerator))) {
        m_pEnumerator = nullptr;
        return fail();
    }
    if (m_pEnumerator == nullptr) return fail();
    return true;
}

long CWmiRawSmbiosSession::TimeoutMilliseconds() const {
    if (m_deadline == Clock::time_point::max()) return static_cast<long>(WBEM_INFINITE);
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - Clock::now()).count();
    // WBEM_INFINITE is -1 as a long: a deadline far ahead must not come out as that either.
    return static_cast<long>(std::clamp<decltype(left)>(left, 0, 0x7FFFFFFF));
}

bool CWmiRawSmbiosSession::NextInstance() {
    ReleaseAndClear(&m_pInstance);
    if (m_pEnumerator == nullptr) return false;
    IWbemClassObject* instance = nullptr;
    ULONG returned = 0;
    // WBEM_S_FALSE (a success code) with nothing returned means the class has no instance;
    // WBEM_S_TIMEDOUT with nothing returned, that the wait ran out.
    const HRESULT hr = m_pEnumerator->Next(TimeoutMilliseconds(), 1, &instance, &returned);
    if (FAILED(hr) || returned != 1 || instance == nullptr) {
        if (instance != nullptr) instance->Release();
        return false;
    }
    m_pInstance = instance;
    return true;
}

bool CWmiRawSmbiosSession::GetProperty(std::string_view name, VARIANT* value) {
    if (m_pInstance == nullptr) return false;
    const CBstr property(name);
    if (property.Get() == nullptr) return false;
    return SUCCEEDED(m_pInstance->Get(property.Get(), 0, value, nullptr, nullptr));
}

std::optional<std::uint8_t> CWmiRawSmbiosSession::GetByte(std::string_view name) {
    CVariant value;
    if (!GetProperty(name, value.Out())) return std::nullopt;
    return VariantLowByte(value.Get());
}

std::optional<std::vector<std::uint8_t>> CWmiRawSmbiosSession::GetBytes(std::string_view name) {
    CVariant value;
    if (!GetProperty(name, value.Out())) return std::nullopt;
    return VariantBytes(value.Get());
}

}  // namespace platform
