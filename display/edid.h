// The EDID a display panel reports: the facts of its base block (block 0) that the panel page
// shows, decoded from the bytes alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace display {

inline constexpr std::size_t kEdidBlockBytes = 128;

// The base block's facts. A field the block does not give stays empty.
struct EdidPanel {
    std::string strMakerId;    // three letters, from bytes 8-9
    std::string strPanelText;  // the last text descriptor tagged FE, else the last tagged FC
    std::uint16_t nProductCode = 0;
    std::uint16_t nYear = 0;                      // 1990 + byte 17
    std::uint8_t nWeek = 0;                       // byte 16: 0 none, FF the year is the model year
    std::optional<std::uint32_t> diagonalTenths;  // inches x 10, rounded half up
    // The first detailed timing (the first descriptor with a pixel clock).
    std::optional<std::uint16_t> hActive;
    std::optional<std::uint16_t> vActive;
    std::optional<std::uint32_t> refreshHz;    // nearest integer
    std::optional<std::uint8_t> bitsPerColor;  // digital input of EDID 1.4 and later
    std::uint8_t nVersion = 0;
    std::uint8_t nRevision = 0;
    bool bChecksumOk = false;
    std::size_t nBlocks = 1;  // base block and the extensions that the bytes hold
};

// True when `edid` holds a whole base block that starts with the fixed EDID header.
bool HasEdidHeader(std::span<const std::uint8_t> edid);

// The base block's facts, or nullopt when `edid` has no base block with the header. Bytes
// beyond the blocks that the extension count names are ignored; a count beyond the bytes
// given leaves the base block alone.
std::optional<EdidPanel> DecodeEdid(std::span<const std::uint8_t> edid);

// The text of an 18-byte display descriptor's 13 data bytes, or nullopt when they are not
// text: printable ASCII throughout, or printable ASCII ended by 0A and then only 20 or 00
// bytes. The text is the part before 0A, without trailing blanks.
std::optional<std::string> DescriptorText(std::span<const std::uint8_t> data13);

}  // namespace display
