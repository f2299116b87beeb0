#include "display/edid.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/little_endian.h"

namespace display {
namespace {

constexpr std::array<std::uint8_t, 8> kHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t kDescriptorBytes = 18;
constexpr std::array<std::size_t, 4> kDescriptorOffsets = {54, 72, 90, 108};
constexpr std::uint8_t kTagProductName = 0xFC;
constexpr std::uint8_t kTagUnspecifiedText = 0xFE;

// The integer square root (the largest r with r * r <= n).
std::uint64_t SquareRoot(std::uint64_t n) {
    auto r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (r > 0 && r * r > n) --r;
    while ((r + 1) * (r + 1) <= n) ++r;
    return r;
}

// sqrt(w^2 + h^2) / 25.4 in tenths, rounded half up, exactly: floor((100 sqrt(s) + 127) / 254),
// where floor(100 sqrt(s)) is the integer root of 10000 s.
std::uint32_t DiagonalTenths(std::uint32_t wMm, std::uint32_t hMm) {
    const std::uint64_t s = std::uint64_t{wMm} * wMm + std::uint64_t{hMm} * hMm;
    return static_cast<std::uint32_t>((SquareRoot(10000 * s) + 127) / 254);
}

char MakerLetter(unsigned code) {
    return static_cast<char>('A' + static_cast<int>(code) - 1);
}

void ReadTiming(std::span<const std::uint8_t> d, EdidPanel* panel) {
    const unsigned hActive = d[2] | ((d[4] & 0xF0u) << 4);
    const unsigned hBlank = d[3] | ((d[4] & 0x0Fu) << 8);
    const unsigned vActive = d[5] | ((d[7] & 0xF0u) << 4);
    const unsigned vBlank = d[6] | ((d[7] & 0x0Fu) << 8);
    const unsigned wMm = d[12] | ((d[14] & 0xF0u) << 4);
    const unsigned hMm = d[13] | ((d[14] & 0x0Fu) << 8);
    const std::uint64_t clockHz = std::uint64_t{base::LoadLe16(d, 0)} * 10000;
    const std::uint64_t hTotal = hActive + hBlank + 2u * d[15];
    const std::uint64_t vTotal = vActive + vBlank + 2u * d[16];
    if (hTotal != 0 && vTotal != 0) {
        const std::uint64_t frame = hTotal * vTotal;
        panel->hActive = static_cast<std::uint16_t>(hActive);
        panel->vActive = static_cast<std::uint16_t>(vActive);
        panel->refreshHz = static_cast<std::uint32_t>((2 * clockHz + frame) / (2 * frame));
    }
    if (wMm != 0 && hMm != 0) panel->diagonalTenths = DiagonalTenths(wMm, hMm);
}

}  // namespace

bool HasEdidHeader(std::span<const std::uint8_t> edid) {
    return edid.size() >= kEdidBlockBytes &&
           std::equal(kHeader.begin(), kHeader.end(), edid.begin());
}

std::optional<std::string> DescriptorText(std::span<const std::uint8_t> data13) {
    const auto end = std::find(data13.begin(), data13.end(), std::uint8_t{0x0A});
    const bool printable =
        std::all_of(data13.begin(), end, [](std::uint8_t c) { return c >= 0x20 && c <= 0x7E; });
    const bool blankTail =
        end == data13.end() ||
        std::all_of(end + 1, data13.end(), [](std::uint8_t c) { return c == 0x20 || c == 0x00; });
    if (!printable || !blankTail) return std::nullopt;
    std::string text(data13.begin(), end);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::optional<EdidPanel> DecodeEdid(std::span<const std::uint8_t> edid) {
    if (!HasEdidHeader(edid)) return std::nullopt;
    const std::span<const std::uint8_t> b = edid.first(kEdidBlockBytes);
    EdidPanel panel;
    const std::size_t named = std::size_t{1} + b[126];
    panel.nBlocks = edid.size() / kEdidBlockBytes >= named ? named : 1;

    const unsigned maker = (b[8] << 8u) | b[9];
    panel.strMakerId = {MakerLetter((maker >> 10) & 0x1F), MakerLetter((maker >> 5) & 0x1F),
                        MakerLetter(maker & 0x1F)};
    panel.nProductCode = base::LoadLe16(b, 10);
    panel.nWeek = b[16];
    panel.nYear = static_cast<std::uint16_t>(1990 + b[17]);
    panel.nVersion = b[18];
    panel.nRevision = b[19];
    const bool digital = (b[20] & 0x80) != 0;
    const unsigned depth = (b[20] >> 4) & 0x07;
    if (digital && (b[18] > 1 || (b[18] == 1 && b[19] >= 4)) && depth >= 1 && depth <= 6)
        panel.bitsPerColor = static_cast<std::uint8_t>(4 + 2 * depth);

    std::string lastFe;
    std::string lastFc;
    bool timingFound = false;
    for (const std::size_t off : kDescriptorOffsets) {
        const std::span<const std::uint8_t> d = b.subspan(off, kDescriptorBytes);
        if (d[0] != 0 || d[1] != 0) {
            if (!timingFound) ReadTiming(d, &panel);
            timingFound = true;
            continue;
        }
        if (d[2] != 0 || (d[3] != kTagUnspecifiedText && d[3] != kTagProductName)) continue;
        const std::optional<std::string> text = DescriptorText(d.subspan(5));
        if (!text || text->empty()) continue;
        (d[3] == kTagUnspecifiedText ? lastFe : lastFc) = *text;
    }
    panel.strPanelText = lastFe.empty() ? lastFc : lastFe;
    if (!panel.diagonalTenths && b[21] != 0 && b[22] != 0)
        panel.diagonalTenths = DiagonalTenths(b[21] * 10u, b[22] * 10u);

    unsigned sum = 0;
    for (const std::uint8_t byte : b) sum += byte;
    panel.bChecksumOk = sum % 256 == 0;
    return panel;
}

}  // namespace display
