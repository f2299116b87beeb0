// The category flow over a view that records what it is asked, on the sample laptop: what
// each position does, in what order, and the one-category-at-a-time rule of the summary.
#include "pages/category_flow.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "battery/battery_info.h"
#include "disk/hd_smart.h"
#include "display/edid.h"
#include "pages/dialog_texts.h"
#include "smbios/smbios.h"
#include "tests/support/sample_machine.h"
#include "text/gbk.h"

namespace {

// Every request of the flow, one line each: "caption <utf-8>", "pane <gbk>", "paint",
// "message <gbk text>|<gbk caption>", "pixel test", "keyboard test", "run <command>", "ended".
class CRecordingView final : public pages::ICategoryView {
public:
    void SetFrameCaption(std::string_view utf8Caption) override {
        log.push_back("caption " + std::string(utf8Caption));
    }
    void SetPaneText(const std::string& gbkText) override { log.push_back("pane " + gbkText); }
    void PaintNow() override { log.push_back("paint"); }
    void ShowMessage(std::string_view gbkText, std::string_view gbkCaption) override {
        log.push_back("message " + std::string(gbkText) + "|" + std::string(gbkCaption));
    }
    void OpenPixelTest() override { log.push_back("pixel test"); }
    void OpenKeyboardTest() override { log.push_back("keyboard test"); }
    void RunSummary(const std::string& command) override {
        log.push_back("run " + command);
        if (duringRun) duringRun();
    }
    void SummaryEnded() override { log.push_back("ended"); }

    std::vector<std::string> log;
    std::function<void()> duringRun;
};

constexpr const char* kCommand = "quorrix-systeminfo";

// The flow over the sample laptop's data sources.
class CategoryFlowTest : public ::testing::Test {
protected:
    CategoryFlowTest()
        : smbios(machine.smbios, [](std::string_view, std::string_view) {}),
          hdSmart(machine.drives),
          battery(machine.batteries),
          panel(display::DecodeEdid(machine.panel.ReadPanelEdid())),
          flow(view, {&smbios, &hdSmart, &battery, &panel}, &strings, kCommand) {}

    // Page `position` built by a second, independent reading of the same machine.
    static std::string IndependentPage(int position) {
        testsupport::CSampleMachine again;
        CSMBios smbiosAgain(again.smbios, [](std::string_view, std::string_view) {});
        CHdSmart hdSmartAgain(again.drives);
        CBatteryInfo batteryAgain(again.batteries);
        const auto panelAgain = display::DecodeEdid(again.panel.ReadPanelEdid());
        pages::CPageStrings unused;
        return pages::BuildTextPage(
            position, {&smbiosAgain, &hdSmartAgain, &batteryAgain, &panelAgain}, &unused);
    }

    testsupport::CSampleMachine machine;
    CSMBios smbios;
    CHdSmart hdSmart;
    CBatteryInfo battery;
    std::optional<display::EdidPanel> panel;
    pages::CPageStrings strings;
    CRecordingView view;
    pages::CCategoryFlow flow;
};

TEST_F(CategoryFlowTest, EachPositionDoesWhatItsCategoryDoes) {
    const std::string hint = "message " + text::Utf8ToGbk(pages::kPixelTestHint) + "|" +
                             text::Utf8ToGbk(pages::kHintCaption);
    struct Case {
        int position;
        std::vector<std::string> expected;
    };
    std::vector<Case> cases = {
        {-1, {}},  // nothing selected
        {pages::kSummaryPage,
         {"caption 处理中，请稍候...", "paint", std::string("run ") + kCommand, "caption 其它信息",
          "ended"}},
        {pages::kPixelTest, {hint, "pixel test"}},
        {pages::kKeyboardTest, {"keyboard test"}},
        {12, {}},
        {100, {}},
    };
    for (int position : {0, 1, 2, 3, 4, 5, 6, pages::kPanelPage, pages::kVerdictPage}) {
        cases.push_back({position,
                         {"caption " + std::string(pages::kPageCaptions[std::size_t(position)]),
                          "pane " + IndependentPage(position)}});
    }
    for (const Case& c : cases) {
        view.log.clear();
        flow.OnDoubleClick(c.position);
        EXPECT_EQ(view.log, c.expected) << "position " << c.position;
        EXPECT_FALSE(flow.Running());
    }
    EXPECT_EQ(strings.m_strSmbiosVersion, "3.2");
}

TEST_F(CategoryFlowTest, TheWelcomeTextOnly) {
    flow.ShowWelcome();
    EXPECT_EQ(view.log, std::vector<std::string>{"pane " + text::Utf8ToGbk(pages::kWelcomeText)});
}

TEST_F(CategoryFlowTest, PagesShownAgainAreTheSameAndTheMemoryPageDoesNotGrow) {
    const std::vector<int> shown = {0, 1, 2, 3, 4, 5, 6, pages::kPanelPage, pages::kVerdictPage};
    std::vector<std::string> first(pages::kCategoryCount);
    // Three times over, backwards the second time: the same page each time.
    for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const int position = shown[round == 1 ? shown.size() - 1 - i : i];
            view.log.clear();
            flow.OnDoubleClick(position);
            ASSERT_EQ(view.log.size(), 2u) << position;
            std::string& page = first[std::size_t(position)];
            if (round == 0) {
                page = view.log[1];
                EXPECT_GT(page.size(), 40u) << "the sample laptop fills page " << position;
            }
            EXPECT_EQ(view.log[1], page) << "round " << round << ", position " << position;
        }
    }
    // The memory page's string is emptied once the page is shown; the kept pages stay.
    EXPECT_TRUE(strings.m_strMemoryPage.empty());
    EXPECT_EQ("pane " + strings.m_strBiosPage, first[pages::kBiosPage]);
    EXPECT_EQ("pane " + strings.m_strDiskPage, first[pages::kDiskPage]);
    // Two populated modules of the three slots: two records, however often it was shown.
    const std::string& memory = first[pages::kMemoryPage];
    std::size_t records = 0;
    for (std::size_t at = memory.find("M471A1K43DB1-CTD"); at != std::string::npos;
         at = memory.find("M471A1K43DB1-CTD", at + 1)) {
        ++records;
    }
    EXPECT_EQ(records, 2u);
}

TEST_F(CategoryFlowTest, NoOtherCategoryWhileTheSummaryRuns) {
    bool runningDuringRun = false;
    view.duringRun = [&] {
        runningDuringRun = flow.Running();
        for (int position :
             {pages::kBiosPage, pages::kMemoryPage, pages::kSummaryPage, pages::kPixelTest}) {
            flow.OnDoubleClick(position);
        }
    };
    flow.OnDoubleClick(pages::kSummaryPage);
    EXPECT_TRUE(runningDuringRun);
    EXPECT_FALSE(flow.Running());
    EXPECT_EQ(view.log, (std::vector<std::string>{"caption 处理中，请稍候...", "paint",
                                                  std::string("run ") + kCommand,
                                                  "caption 其它信息", "ended"}));
    EXPECT_TRUE(strings.m_strBiosPage.empty()) << "nothing was built during the run";

    // A run that ends by an exception (the window's loop gave up) leaves the flow usable.
    view.duringRun = [] { throw std::runtime_error("gone"); };
    EXPECT_THROW(flow.OnDoubleClick(pages::kSummaryPage), std::runtime_error);
    EXPECT_FALSE(flow.Running());
    view.duringRun = nullptr;
    view.log.clear();
    flow.OnDoubleClick(pages::kBoardPage);
    EXPECT_EQ(view.log.size(), 2u);
}

}  // namespace
