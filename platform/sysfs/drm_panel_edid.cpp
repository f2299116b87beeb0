#include "platform/sysfs/drm_panel_edid.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "platform/file_io.h"

namespace platform {
namespace {

// "card0-eDP-1", "card1-LVDS-1", "card0-DSI-1": a card's connector of a built-in panel.
bool IsPanelConnector(std::string_view name) {
    constexpr std::array<std::string_view, 3> kKinds = {"-eDP-", "-LVDS-", "-DSI-"};
    if (!name.starts_with("card")) return false;
    return std::any_of(kKinds.begin(), kKinds.end(), [&](std::string_view kind) {
        return name.find(kind, 4) != std::string_view::npos;
    });
}

}  // namespace

std::vector<std::uint8_t> CDrmPanelEdidSource::ReadPanelEdid() {
    std::error_code ec;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(m_root, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (IsPanelConnector(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        auto bytes = ReadFileBytes(m_root + "/" + name + "/edid", kMaxEdidBytes);
        if (bytes && !bytes->empty()) {
            bytes->resize(std::min(bytes->size(), kMaxEdidBytes));
            return std::move(*bytes);
        }
    }
    return {};
}

std::unique_ptr<IPanelEdidSource> MakeSystemPanelEdidSource() {
    return std::make_unique<CDrmPanelEdidSource>(CDrmPanelEdidSource::kDefaultRoot);
}

}  // namespace platform
