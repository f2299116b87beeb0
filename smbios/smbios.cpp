#include "smbios/smbios.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>

#include "base/little_endian.h"
#include "text/gbk.h"
#include "text/page_text.h"

namespace {

// Type, Length and Handle. A Length below this cannot even hold the header, so the end of
// such a structure (and with it the start of the next) is unknown: the walk stops there.
constexpr std::uint8_t kHeaderBytes = 4;

constexpr std::string_view kOverflowMessage =
    "Return global_buffer would overflow.  Abort initialization of raw SMBIOS data.\n";
constexpr std::string_view kOverflowCaption = "提示";

// SMBIOS structure types that are decoded.
enum : std::uint8_t {
    kTypeBios = 0,
    kTypeSystem = 1,
    kTypeBaseboard = 2,
    kTypeProcessor = 4,
    kTypeCache = 7,
    kTypeMemoryDevice = 17,
    kTypePortableBattery = 22,
};

// Memory Device, Memory Type (SMBIOS 3.7 7.18.2), codes 0x00 to 0x24; every other code
// reads "unknown". Up to 0x19 the spelling is that of the memory page, not the standard's;
// the later codes carry the standard's names.
constexpr std::array<std::string_view, 0x25> kMemoryTypeNames = {
    "unknown",                      // 0x00
    "other",                        // 0x01
    "unknown",                      // 0x02
    "dram",                         // 0x03
    "edram",                        // 0x04
    "vram",                         // 0x05
    "sram",                         // 0x06
    "ram",                          // 0x07
    "rom",                          // 0x08
    "flash",                        // 0x09
    "eeprom",                       // 0x0A
    "feprom",                       // 0x0B
    "eprom",                        // 0x0C
    "cdram",                        // 0x0D
    "3dram",                        // 0x0E
    "sdram",                        // 0x0F
    "sgram",                        // 0x10
    "rdram",                        // 0x11
    "ddr",                          // 0x12
    "DDR2",                         // 0x13
    "ddr2 fb-dimm",                 // 0x14
    "unknown",                      // 0x15 (reserved)
    "unknown",                      // 0x16 (reserved)
    "unknown",                      // 0x17 (reserved)
    "DDR3",                         // 0x18
    "FBD2",                         // 0x19
    "DDR4",                         // 0x1A
    "LPDDR",                        // 0x1B
    "LPDDR2",                       // 0x1C
    "LPDDR3",                       // 0x1D
    "LPDDR4",                       // 0x1E
    "Logical non-volatile device",  // 0x1F
    "HBM",                          // 0x20
    "HBM2",                         // 0x21
    "DDR5",                         // 0x22
    "LPDDR5",                       // 0x23
    "HBM3",                         // 0x24
};

std::string Decimal(std::uint64_t value) {
    return std::to_string(value);
}

// The formatted area of one structure. A field exists only when the structure's own Length
// covers it (older firmware writes shorter structures; what follows them is the string
// set, not field values) and when it lies inside the table.
class CStructureView {
public:
    CStructureView(const CSMBios& smbios, std::uint32_t offset)
        : m_smbios(smbios), m_dwOffset(offset) {
        const std::span<const std::uint8_t> table =
            std::span<const std::uint8_t>(smbios.m_table).first(smbios.TableBytes());
        if (offset >= table.size()) return;
        const std::size_t inBuffer = table.size() - offset;
        m_formatted =
            table.subspan(offset, std::min<std::size_t>(smbios.FormattedLength(offset), inBuffer));
    }

    std::uint8_t Type() const { return Byte(0).value_or(0); }

    std::optional<std::uint8_t> Byte(std::size_t off) const {
        if (!Holds(off, 1)) return std::nullopt;
        return m_formatted[off];
    }
    std::optional<std::uint16_t> Word(std::size_t off) const {
        if (!Holds(off, 2)) return std::nullopt;
        return base::LoadLe16(m_formatted, off);
    }
    std::optional<std::uint32_t> Dword(std::size_t off) const {
        if (!Holds(off, 4)) return std::nullopt;
        return base::LoadLe32(m_formatted, off);
    }
    std::span<const std::uint8_t> Bytes(std::size_t off, std::size_t n) const {
        if (!Holds(off, n)) return {};
        return m_formatted.subspan(off, n);
    }

    // The string that the string-number byte at `off` names; "" when the field is absent.
    std::string String(std::size_t off) const {
        const auto n = Byte(off);
        return n ? m_smbios.GetString(m_dwOffset, *n) : std::string();
    }
    // "%d" of an unsigned field; "" when the field is absent.
    template <typename T>
    static std::string Number(const std::optional<T>& value) {
        return value ? Decimal(*value) : std::string();
    }

private:
    bool Holds(std::size_t off, std::size_t width) const {
        return off <= m_formatted.size() && m_formatted.size() - off >= width;
    }

    const CSMBios& m_smbios;
    std::uint32_t m_dwOffset;
    std::span<const std::uint8_t> m_formatted;
};

// BIOS ROM Size (type 0, 0x09): 64 KB units, n + 1 of them. 0xFF says "16 MB or more, see
// Extended BIOS ROM Size" (0x18, SMBIOS 3.1): bits 15..14 the unit (00 MB, 01 GB), bits
// 13..0 the size. Without that field, or with a unit the standard does not define, the
// byte's own 16384 stands. An extended size of 0 is shown as 0, as the firmware states it.
std::string BiosRomSizeKb(const CStructureView& s) {
    const auto n = s.Byte(0x09);
    if (!n) return {};
    if (*n == 0xFF) {
        if (const auto ext = s.Word(0x18)) {
            const std::uint64_t size = *ext & 0x3FFF;
            switch (*ext >> 14) {
                case 0:
                    return Decimal(size * 1024);
                case 1:
                    return Decimal(size * 1024 * 1024);
                default:
                    break;
            }
        }
    }
    return Decimal((*n + 1u) * 64u);
}

// Four dash-separated groups, each the little-endian 32-bit value of four UUID bytes (the
// middle group swaps its two 16-bit halves): bytes 00 01 .. 0F read
// 03020100-07060504-0b0a0908-0f0e0d0c. This is the system page's form on purpose, not the
// RFC 4122 8-4-4-4-12 one.
std::string UuidText(std::span<const std::uint8_t> u) {
    if (u.size() != 16) return {};
    // Bytes in the order they are printed, two lowercase hex digits each.
    static constexpr std::array<std::uint8_t, 16> kOrder = {3,  2,  1, 0, 7,  6,  5,  4,
                                                            11, 10, 9, 8, 15, 14, 13, 12};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(35, '-');
    std::size_t pos = 0;
    for (std::size_t i = 0; i < kOrder.size(); ++i) {
        if (i > 0 && i % 4 == 0) ++pos;  // the dash between groups
        text[pos++] = kHex[u[kOrder[i]] >> 4];
        text[pos++] = kHex[u[kOrder[i]] & 0x0F];
    }
    return text;
}

// Memory Device Size (type 17, 0x0C) in MB. 0x7FFF: the size is in Extended Size (0x1C,
// SMBIOS 2.7, bits 30..0 in MB). Bit 15 set: the size counts KB, shown in whole MB.
// 0xFFFF (unknown) and a 0x7FFF without the extended field are shown as the raw word.
std::string MemorySizeMb(const CStructureView& s, std::uint16_t size) {
    if (size == 0x7FFF) {
        if (const auto ext = s.Dword(0x1C)) return Decimal(*ext & 0x7FFFFFFFu);
        return Decimal(size);
    }
    if (size != 0xFFFF && (size & 0x8000) != 0) return Decimal((size & 0x7FFFu) / 1024u);
    return Decimal(size);
}

// Memory Device Speed (type 17, 0x15) in MT/s. 0xFFFF: the speed is in Extended Speed
// (0x54, SMBIOS 3.3, 32 bits), shown whole; without that field the raw word stands.
std::string MemorySpeed(const CStructureView& s) {
    const auto speed = s.Word(0x15);
    if (speed == 0xFFFF) {
        if (const auto ext = s.Dword(0x54)) return Decimal(*ext);
    }
    return CStructureView::Number(speed);
}

std::string MemoryTypeName(const std::optional<std::uint8_t>& code) {
    if (!code) return {};
    return std::string(*code < kMemoryTypeNames.size() ? kMemoryTypeNames[*code] : "unknown");
}

// Cache Installed Size (type 7, 0x09): bit 15 is the granularity, 1 KB or 64 KB.
std::string CacheSizeKb(const std::optional<std::uint16_t>& size) {
    if (!size) return {};
    const std::uint32_t units = *size & 0x7FFFu;
    return Decimal((*size & 0x8000) != 0 ? units * 64u : units);
}

// SBDS Manufacture Date (type 22, 0x12): bits 15..9 year - 1980, 8..5 month, 4..0 day;
// printed "%d-%d-%d", without leading zeros.
std::string SbdsDate(std::uint16_t d) {
    return Decimal((d >> 9) + 1980u) + '-' + Decimal((d >> 5) & 0x0Fu) + '-' + Decimal(d & 0x1Fu);
}

void DecodeBios(const CStructureView& s, CSMBios& out) {
    out.m_strBiosVendor = s.String(0x04);
    out.m_strBiosVersion = s.String(0x05);
    out.m_strBiosDate = s.String(0x08);
    out.m_strBiosRomSize = BiosRomSizeKb(s);
}

void DecodeSystem(const CStructureView& s, CSMBios& out) {
    out.m_strSystemManufacturer = s.String(0x04);
    out.m_strSystemProduct = s.String(0x05);
    out.m_strSystemVersion = s.String(0x06);
    out.m_strSystemSerial = s.String(0x07);
    out.m_strSystemUuid = UuidText(s.Bytes(0x08, 16));
    out.m_strSystemSku = s.String(0x19);
    out.m_strSystemFamily = s.String(0x1A);
}

void DecodeBaseboard(const CStructureView& s, CSMBios& out) {
    out.m_strBoardManufacturer = s.String(0x04);
    out.m_strBoardProduct = s.String(0x05);
    out.m_strBoardVersion = s.String(0x06);
    out.m_strBoardSerial = s.String(0x07);
}

void DecodeProcessor(const CStructureView& s, CSMBios& out) {
    out.m_strCpuManufacturer = s.String(0x07);
    out.m_strCpuVersion = s.String(0x10);
    out.m_strCpuExternalClock = CStructureView::Number(s.Word(0x12));
    out.m_strCpuMaxSpeed = CStructureView::Number(s.Word(0x14));
    out.m_strCpuCores = CStructureView::Number(s.Byte(0x23));
    out.m_strCpuThreads = CStructureView::Number(s.Byte(0x25));
}

// Cache Configuration (type 7, 0x05) bits 2..0: the level minus one.
std::optional<std::size_t> CacheLevelIndex(const CStructureView& s) {
    const auto configuration = s.Word(0x05);
    if (!configuration) return std::nullopt;
    return static_cast<std::size_t>(*configuration & 7);
}

// Levels 1 to 3 have a text each; a structure of another level sets none.
void DecodeCache(const CStructureView& s, CSMBios& out) {
    std::string* const members[] = {&out.m_strL1Cache, &out.m_strL2Cache, &out.m_strL3Cache};
    const auto level = CacheLevelIndex(s);
    if (!level || *level >= std::size(members)) return;
    *members[*level] = CacheSizeKb(s.Word(0x09));
}

void DecodeMemoryDevice(const CStructureView& s, CSMBios& out) {
    const std::uint16_t size = s.Word(0x0C).value_or(0);
    if (size == 0) return;  // empty socket
    MemoryDeviceText& record = out.m_memory.emplace_back();
    record.strManufacturer = s.String(0x17);
    record.strSize = MemorySizeMb(s, size);
    record.strType = MemoryTypeName(s.Byte(0x12));
    record.strSpeed = MemorySpeed(s);
    record.strSerialNumber = s.String(0x18);
    record.strPartNumber = s.String(0x1A);
}

void DecodePortableBattery(const CStructureView& s, CSMBios& out) {
    const std::uint8_t dateString = s.Byte(0x06).value_or(0);
    if (dateString != 0) {
        out.m_strBatteryDate = s.String(0x06);
    } else if (const auto sbds = s.Word(0x12)) {
        out.m_strBatteryDate = SbdsDate(*sbds);
    } else {
        out.m_strBatteryDate.clear();
    }
    const auto millivolts = s.Word(0x0C);
    out.m_strBatteryDesignVoltage = millivolts ? text::Volts(*millivolts) : std::string();
}

}  // namespace

CSMBios::CSMBios(platform::ISmbiosSource& source, const platform::Notifier& notify) {
    if (!FetchRawTable(source, notify)) return;
    m_byMajorVersion = m_byTableMajor;
    m_byMinorVersion = m_byTableMinor;
    DecodeTable();
}

bool CSMBios::FetchRawTable(platform::ISmbiosSource& source, const platform::Notifier& notify) {
    // Only the table's own bytes are ever read, so the buffer behind them is left as it is:
    // clearing all of it would cost more than decoding a typical table.
    m_dwTableLength = 0;
    const platform::RawSmbios tables = source.ReadTables();
    if (!tables.bReached) return false;  // no way to the firmware tables at all
    // Each part is taken as far as the fetch got: versions without data still count.
    if (!tables.major) return true;
    m_byTableMajor = *tables.major;
    if (!tables.minor) return true;
    m_byTableMinor = *tables.minor;
    if (!tables.table) return true;
    const std::vector<std::uint8_t>& bytes = *tables.table;
    // The window's limit: a table that fills the buffer is refused with its message.
    if (bytes.size() >= kMaxTableBytes) {
        if (notify) notify(text::Utf8ToGbk(kOverflowMessage), text::Utf8ToGbk(kOverflowCaption));
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), m_table.begin());
    m_dwTableLength = static_cast<std::uint32_t>(bytes.size());
    return true;
}

void CSMBios::DecodeTable() {
    m_memory.clear();
    // A later structure of a type replaces every text an earlier one set (a second socket,
    // a second battery, instruction and data caches of one level), so the walk only notes
    // where the last one of each type, and of each cache level, lies, and decodes those
    // afterwards. Memory devices accumulate and are decoded as they are met.
    struct CLast {
        std::optional<std::uint32_t> bios, system, board, processor, battery;
        std::array<std::optional<std::uint32_t>, 3> cache;  // by level - 1
    } last;
    // Type 127 (End-of-Table) does not end the walk: some firmware places structures after
    // it, and tables without one are walked to their byte count all the same.
    // A structure is decoded only when its header, its formatted area and its string set
    // with both closing zeros all lie inside the table; the first that does not ends the
    // walk, as its end (and with it the next structure's start) is not in the table.
    const std::uint32_t tableBytes = TableBytes();
    std::uint32_t offset = 0;
    while (tableBytes - offset >= kHeaderBytes) {
        const std::uint8_t length = FormattedLength(offset);
        if (length < kHeaderBytes) break;
        const std::uint32_t strings = StringSetLength(offset);
        if (strings == 0) break;
        const CStructureView s(*this, offset);
        switch (s.Type()) {
            case kTypeBios:
                last.bios = offset;
                break;
            case kTypeSystem:
                last.system = offset;
                break;
            case kTypeBaseboard:
                last.board = offset;
                break;
            case kTypeProcessor:
                last.processor = offset;
                break;
            case kTypeCache:
                if (const auto level = CacheLevelIndex(s); level && *level < last.cache.size())
                    last.cache[*level] = offset;
                break;
            case kTypeMemoryDevice:
                DecodeMemoryDevice(s, *this);
                break;
            case kTypePortableBattery:
                last.battery = offset;
                break;
            default:
                break;
        }
        // Always forward (length >= 4, strings >= 2), and never past the table's end.
        offset += length + strings;
    }
    m_nMemoryCount = static_cast<int>(m_memory.size());

    if (last.bios) DecodeBios(CStructureView(*this, *last.bios), *this);
    if (last.system) DecodeSystem(CStructureView(*this, *last.system), *this);
    if (last.board) DecodeBaseboard(CStructureView(*this, *last.board), *this);
    if (last.processor) DecodeProcessor(CStructureView(*this, *last.processor), *this);
    for (const auto& cache : last.cache)
        if (cache) DecodeCache(CStructureView(*this, *cache), *this);
    if (last.battery) DecodePortableBattery(CStructureView(*this, *last.battery), *this);
}

std::uint32_t CSMBios::TableBytes() const {
    return std::min(m_dwTableLength, kMaxTableBytes);
}

std::uint8_t CSMBios::FormattedLength(std::uint32_t offset) const {
    const std::uint32_t tableBytes = TableBytes();
    if (offset >= tableBytes || tableBytes - offset < 2) return 0;
    return m_table[offset + 1];
}

std::uint32_t CSMBios::StringSetLength(std::uint32_t offset) const {
    const std::uint32_t tableBytes = TableBytes();
    const std::uint8_t length = FormattedLength(offset);
    if (length == 0 || tableBytes - offset < length) return 0;
    const std::uint32_t start = offset + length;
    // The set ends with two zero bytes, both inside the table.
    const std::uint8_t* const base = m_table.data();
    std::uint32_t i = start;
    while (i + 2 <= tableBytes) {
        const void* zero = std::memchr(base + i, 0, tableBytes - 1 - i);
        if (zero == nullptr) break;
        i = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - base);
        if (m_table[i + 1] == 0) return i + 2 - start;
        i += 2;  // m_table[i + 1] is a string's first byte, it cannot start the pair
    }
    return 0;
}

// No cap on the number of strings or their length: the set is bounded by the table, and a
// cap would cut or drop strings that firmware legitimately carries, such as long OEM string
// sets. A string that runs to the table's end without its zero is taken as far as the table
// goes (the walk never decodes such a structure).
std::string CSMBios::GetString(std::uint32_t offset, std::uint8_t n) const {
    const std::uint32_t tableBytes = TableBytes();
    const std::uint8_t length = FormattedLength(offset);
    if (n == 0 || length == 0 || tableBytes - offset <= length) return {};
    const std::size_t start = static_cast<std::size_t>(offset) + length;
    const std::span<const std::uint8_t> set =
        std::span<const std::uint8_t>(m_table).subspan(start, tableBytes - start);
    if (set.size() >= 2 && set[0] == 0 && set[1] == 0) return {};  // no strings
    std::size_t pos = 0;
    for (unsigned index = 1; pos < set.size(); ++index) {
        const std::uint8_t* const begin = set.data() + pos;
        const void* zero = std::memchr(begin, 0, set.size() - pos);
        const std::uint8_t* const nul =
            zero ? static_cast<const std::uint8_t*>(zero) : set.data() + set.size();
        if (index == n) return std::string(begin, nul);
        if (zero == nullptr) break;
        pos = static_cast<std::size_t>(nul - set.data()) + 1;
        if (pos >= set.size() || set[pos] == 0) break;  // the set's closing zero
    }
    return {};
}
