// The VARIANT checks of the SMBIOS fetch, with real VARIANTs and SAFEARRAYs from oleaut32.
#include "platform/windows/wmi_variant_win32.h"

#include <oleauto.h>

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> CountingBytes(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
    return bytes;
}

// A VARIANT holding `array` as `type`; the array is destroyed with the variant.
class CArrayVariant {
public:
    CArrayVariant(VARTYPE type, SAFEARRAY* array) {
        VariantInit(&m_value);
        m_value.vt = type;
        m_value.parray = array;
    }
    ~CArrayVariant() {
        // Fails with DISP_E_ARRAYISLOCKED, and frees nothing, if a lock was left behind.
        m_hrClear = VariantClear(&m_value);
        EXPECT_EQ(m_hrClear, S_OK);
    }
    const VARIANT& Get() const { return m_value; }

private:
    VARIANT m_value;
    HRESULT m_hrClear = S_OK;
};

SAFEARRAY* ByteVector(const std::vector<std::uint8_t>& bytes, LONG lowerBound = 0) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), lowerBound};
    SAFEARRAY* array = SafeArrayCreate(VT_UI1, 1, &bound);
    EXPECT_NE(array, nullptr);
    void* data = nullptr;
    if (array != nullptr && SUCCEEDED(SafeArrayAccessData(array, &data))) {
        std::copy(bytes.begin(), bytes.end(), static_cast<std::uint8_t*>(data));
        SafeArrayUnaccessData(array);
    }
    return array;
}

TEST(WmiVariant, LowByteOfEveryIntegerTypeOnly) {
    VARIANT v;
    VariantInit(&v);
    EXPECT_FALSE(platform::VariantLowByte(v));  // VT_EMPTY
    v.vt = VT_NULL;
    EXPECT_FALSE(platform::VariantLowByte(v));
    v.vt = VT_UI1;
    v.bVal = 0xA7;
    EXPECT_EQ(platform::VariantLowByte(v), 0xA7);
    v.vt = VT_I2;
    v.iVal = 0x0305;
    EXPECT_EQ(platform::VariantLowByte(v), 0x05);
    v.vt = VT_I4;
    v.lVal = 0x12345603;
    EXPECT_EQ(platform::VariantLowByte(v), 0x03);
    v.vt = VT_UI8;
    v.ullVal = 0xFFFFFFFF00000002ULL;
    EXPECT_EQ(platform::VariantLowByte(v), 0x02);
    v.vt = VT_R8;
    v.dblVal = 2.0;
    EXPECT_FALSE(platform::VariantLowByte(v));

    // A version handed as text is not a number here.
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"3");
    EXPECT_FALSE(platform::VariantLowByte(text));
    VariantClear(&text);
}

TEST(WmiVariant, ByteArrayCopiedWholeAndUnlocked) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{63999},
                                   std::size_t{64000}, std::size_t{70001}}) {
        SCOPED_TRACE(size);
        const CArrayVariant value(VT_ARRAY | VT_UI1, ByteVector(CountingBytes(size)));
        const auto bytes = platform::VariantBytes(value.Get());
        ASSERT_TRUE(bytes);
        EXPECT_EQ(*bytes, CountingBytes(size));
    }
    // The count is the dimension's element count, whatever its lower bound.
    const CArrayVariant shifted(VT_ARRAY | VT_UI1, ByteVector(CountingBytes(300), 5));
    EXPECT_EQ(platform::VariantBytes(shifted.Get()), CountingBytes(300));
}

TEST(WmiVariant, AnythingButAOneDimensionalByteArrayIsRefused) {
    VARIANT empty;
    VariantInit(&empty);
    EXPECT_FALSE(platform::VariantBytes(empty));
    empty.vt = VT_NULL;  // what Wine answers for SMBiosData
    EXPECT_FALSE(platform::VariantBytes(empty));

    // Two dimensions of bytes: the first dimension's count would not be the byte count.
    SAFEARRAYBOUND square[2] = {{4, 0}, {4, 0}};
    const CArrayVariant twoDimensions(VT_ARRAY | VT_UI1, SafeArrayCreate(VT_UI1, 2, square));
    EXPECT_FALSE(platform::VariantBytes(twoDimensions.Get()));

    // Four-byte elements.
    SAFEARRAYBOUND four{8, 0};
    const CArrayVariant longs(VT_ARRAY | VT_I4, SafeArrayCreate(VT_I4, 1, &four));
    EXPECT_FALSE(platform::VariantBytes(longs.Get()));

    // Signed bytes are another type than the class declares.
    const CArrayVariant signedBytes(VT_ARRAY | VT_I1, SafeArrayCreate(VT_I1, 1, &four));
    EXPECT_FALSE(platform::VariantBytes(signedBytes.Get()));

    // The right type without an array behind it.
    VARIANT noArray;
    VariantInit(&noArray);
    noArray.vt = VT_ARRAY | VT_UI1;
    noArray.parray = nullptr;
    EXPECT_FALSE(platform::VariantBytes(noArray));
}

}  // namespace
