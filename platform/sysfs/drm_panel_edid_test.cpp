#include "platform/sysfs/drm_panel_edid.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace {

struct ConnectorCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // path below the root, content
    std::string expected;
};

TEST(DrmPanelEdid, FirstNonEmptyBuiltInConnectorInNameOrder) {
    const std::vector<ConnectorCase> cases = {
        {"none", {{"card0-HDMI-A-1/edid", "hdmi"}, {"version", "x"}}, ""},
        {"eDP", {{"card0-HDMI-A-1/edid", "hdmi"}, {"card0-eDP-1/edid", "edp"}}, "edp"},
        {"LVDS and DSI", {{"card1-LVDS-1/edid", "lvds"}, {"card0-DSI-1/edid", "dsi"}}, "dsi"},
        {"empty file skipped",
         {{"card0-eDP-1/edid", ""}, {"card1-eDP-1/edid", "second"}},
         "second"},
        {"no edid file", {{"card0-eDP-1/status", "connected"}, {"card0-eDP-2/edid", "2"}}, "2"},
        {"a card without connector kind", {{"card0/edid", "card"}, {"card0-eDPX/edid", "x"}}, ""},
        {"not a card", {{"renderD128-eDP-1/edid", "r"}}, ""},
    };
    for (const ConnectorCase& c : cases) {
        testsupport::CTempDir root;
        for (const auto& [path, content] : c.files) root.Write(path, content);
        const std::vector<std::uint8_t> got =
            platform::CDrmPanelEdidSource(root.Path().string()).ReadPanelEdid();
        EXPECT_EQ(std::string(got.begin(), got.end()), c.expected) << c.name;
    }
    EXPECT_TRUE(platform::CDrmPanelEdidSource("/nonexistent/drm").ReadPanelEdid().empty());
}

}  // namespace
