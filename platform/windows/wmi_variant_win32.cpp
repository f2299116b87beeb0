#include "platform/windows/wmi_variant_win32.h"

#include <oleauto.h>

namespace platform {

std::optional<std::uint8_t> VariantLowByte(const VARIANT& value) {
    switch (value.vt) {
        case VT_I1:
        case VT_UI1:
            return static_cast<std::uint8_t>(value.bVal);
        case VT_I2:
        case VT_UI2:
            return static_cast<std::uint8_t>(value.uiVal & 0xFF);
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
            return static_cast<std::uint8_t>(value.ulVal & 0xFF);
        case VT_I8:
        case VT_UI8:
            return static_cast<std::uint8_t>(value.ullVal & 0xFF);
        default:
            return std::nullopt;
    }
}

std::optional<std::vector<std::uint8_t>> VariantBytes(const VARIANT& value) {
    // By reference or of any other element type is not what the class declares.
    if (value.vt != (VT_ARRAY | VT_UI1)) return std::nullopt;
    SAFEARRAY* array = value.parray;
    if (array == nullptr || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 1) {
        return std::nullopt;
    }
    const ULONG count = array->rgsabound[0].cElements;
    void* data = nullptr;
    // Locks the array while it is copied; its data pointer is only valid while locked.
    if (FAILED(SafeArrayAccessData(array, &data))) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    if (count > 0 && data != nullptr) {
        const auto* first = static_cast<const std::uint8_t*>(data);
        bytes.assign(first, first + count);
    }
    SafeArrayUnaccessData(array);
    if (bytes.size() != count) return std::nullopt;
    return bytes;
}

}  // namespace platform
