// The built-in panel's EDID from sysfs: the connectors of the kinds a laptop's own panel uses.
#pragma once

#include <string>

#include "platform/panel_edid.h"

namespace platform {

class CDrmPanelEdidSource final : public IPanelEdidSource {
public:
    static constexpr const char* kDefaultRoot = "/sys/class/drm";
    explicit CDrmPanelEdidSource(std::string root) : m_root(std::move(root)) {}

    // The `edid` file of the first connector, in name order, named card*-eDP-*, card*-LVDS-*
    // or card*-DSI-* whose file is not empty.
    std::vector<std::uint8_t> ReadPanelEdid() override;

private:
    std::string m_root;
};

}  // namespace platform
