#include "platform/windows/display_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CandidateCase {
    const char* name;
    std::vector<platform::DisplayTarget> targets;
    std::vector<std::wstring> expected;
};

TEST(PanelMonitorCandidates, InternalTargetsElseEveryTarget) {
    const std::vector<CandidateCase> cases = {
        {"none", {}, {}},
        {"internal after an external",
         {{5, L"\\\\?\\DISPLAY#HDMI"}, {0x80000000u, L"\\\\?\\DISPLAY#PANEL"}},
         {L"\\\\?\\DISPLAY#PANEL"}},
        {"embedded DisplayPort, LVDS and UDI",
         {{11, L"edp"}, {10, L"dp"}, {6, L"lvds"}, {13, L"udi"}, {12, L"udi-ext"}},
         {L"edp", L"lvds", L"udi"}},
        {"no internal: every target in order", {{0, L"vga"}, {5, L"hdmi"}}, {L"vga", L"hdmi"}},
        {"internal without a path does not count", {{6, L""}, {5, L"hdmi"}}, {L"hdmi"}},
        {"a monitor on two paths once", {{5, L"a"}, {4, L"a"}}, {L"a"}},
    };
    for (const CandidateCase& c : cases)
        EXPECT_EQ(platform::PanelMonitorCandidates(c.targets), c.expected) << c.name;
}

}  // namespace
