// Any bytes as an EDID: decoded and laid out as the panel page, once as they are and once
// behind the fixed header (so that the descriptors and the extension count are reached);
// and the first 13 bytes taken as a descriptor's text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "display/edid.h"
#include "display/panel_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> all(data, size);
    static_cast<void>(display::BuildPanelPage(display::DecodeEdid(all)));
    std::vector<std::uint8_t> headed = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    headed.insert(headed.end(), all.begin(), all.end());
    static_cast<void>(display::BuildPanelPage(display::DecodeEdid(headed)));
    if (size >= 13) static_cast<void>(display::DescriptorText(all.first(13)));
    return 0;
}
