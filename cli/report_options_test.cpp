#include "cli/report_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

std::variant<cli::ReportOptions, std::string> Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "quorrix-report");
    return cli::ParseOptions(static_cast<int>(args.size()), args.data());
}

TEST(ReportOptions, AcceptsEveryOptionInBothForms) {
    auto parsed = Parse({"--page", "5", "--raw", "--from-dump=/tmp/t.bin", "--disk-dump", "d",
                         "--power-supply=/p"});
    ASSERT_TRUE(std::holds_alternative<cli::ReportOptions>(parsed));
    const auto& o = std::get<cli::ReportOptions>(parsed);
    EXPECT_EQ(o.nPage, 5);
    EXPECT_TRUE(o.bRaw);
    EXPECT_EQ(o.fromDump, "/tmp/t.bin");
    EXPECT_EQ(o.diskDump, "d");
    EXPECT_EQ(o.powerSupply, "/p");
    EXPECT_FALSE(o.dmiDir);
    EXPECT_TRUE(o.Wants(5));
    EXPECT_FALSE(o.Wants(1));

    auto all = Parse({});
    ASSERT_TRUE(std::holds_alternative<cli::ReportOptions>(all));
    for (int page = 1; page <= 7; ++page)
        EXPECT_TRUE(std::get<cli::ReportOptions>(all).Wants(page));
    for (const char* page : {"10", "12"}) {
        auto one = Parse({"--page", page});
        ASSERT_TRUE(std::holds_alternative<cli::ReportOptions>(one)) << page;
        EXPECT_EQ(std::get<cli::ReportOptions>(one).nPage, std::atoi(page));
    }
}

TEST(ReportOptions, RefusesBadArguments) {
    for (auto args :
         std::vector<std::vector<const char*>>{{"--page"},
                                               {"--page", "0"},
                                               {"--page", "8"},
                                               {"--page", "9"},
                                               {"--page", "11"},
                                               {"--page", "13"},
                                               {"--page", "x"},
                                               {"--page="},
                                               {"--dmi-dir"},
                                               {"--dmi-dir="},
                                               {"--bogus"},
                                               {"extra"},
                                               {"--from-dump", "a", "--dmi-dir", "b"},
                                               {"--disk-dump", "a", "--disk-dump", "b"}}) {
        const auto parsed = Parse(args);
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << args[0];
        EXPECT_FALSE(std::get<std::string>(parsed).empty());
    }
}

}  // namespace
