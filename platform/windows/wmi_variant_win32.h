// What the SMBIOS fetch takes out of the VARIANTs that IWbemClassObject::Get fills.
#pragma once

#include <oaidl.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

// The low byte of an integer VARIANT (signed or unsigned, 8 to 64 bits); nullopt for any other
// type, VT_EMPTY and VT_NULL included.
[[nodiscard]] std::optional<std::uint8_t> VariantLowByte(const VARIANT& value);

// The bytes of a VT_ARRAY | VT_UI1 VARIANT whose SAFEARRAY has exactly one dimension of
// one-byte elements, in order; nullopt for any other type or shape, or when the array's data
// cannot be locked.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> VariantBytes(const VARIANT& value);

}  // namespace platform
