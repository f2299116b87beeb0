#include "sysinfo/command_capture.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_process_runner.h"
#include "platform/process_runner.h"

namespace {

using namespace std::chrono_literals;

// Records what the loop shows, how long it pauses and what it tells the user, in the order
// it happens.
struct Recorder {
    std::vector<std::string> shown;
    std::vector<std::string> events;  // "show", "pause 1000", "notify <text>|<caption>"
    sysinfo::CaptureView View(std::string appName = "quorrix") {
        return {[this](const std::string& text) {
                    shown.push_back(text);
                    events.push_back("show");
                },
                [this](std::chrono::milliseconds ms) {
                    events.push_back("pause " + std::to_string(ms.count()));
                },
                [this](std::string_view text, std::string_view caption) {
                    events.push_back("notify " + std::string(text) + "|" + std::string(caption));
                },
                std::move(appName)};
    }
};

TEST(RunCommand, ShowsEveryPieceAsTheGrowingWholeThenPauses) {
    platform::CFakeProcessRunner runner({"主机名:", "   vm\r\n", "OS 名称: x\r\n"});
    Recorder rec;
    EXPECT_EQ(sysinfo::RunCommand(runner, "/opt/q/quorrix-systeminfo", rec.View()),
              sysinfo::CaptureResult::kFinished);
    EXPECT_EQ(rec.shown, (std::vector<std::string>{"主机名:", "主机名:   vm\r\n",
                                                   "主机名:   vm\r\nOS 名称: x\r\n"}));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"show", "pause 1000", "show", "pause 1000",
                                                    "show", "pause 1000"}));
    EXPECT_EQ(runner.CommandLines(), std::vector<std::string>{"/opt/q/quorrix-systeminfo"});
    // Three pieces, then the read that reports the end; each asks for at most 4095 bytes.
    EXPECT_EQ(runner.Reads(), 4);
    for (std::size_t size : runner.ReadSizes()) EXPECT_EQ(size, 4095u);
    EXPECT_FALSE(runner.PipeOpen());
    EXPECT_EQ(runner.Closes(), 1);
}

TEST(RunCommand, LongOutputInBoundedPiecesWithoutStrayBytes) {
    std::string big;
    for (int i = 0; i < 1500; ++i) big += "\xC4\xDA\xB4\xE6" + std::to_string(i) + "\r\n";  // 内存
    ASSERT_GT(big.size(), 2 * sysinfo::kMaxReadBytes);
    platform::CFakeProcessRunner runner({big});
    Recorder rec;
    sysinfo::RunCommand(runner, "x", rec.View());
    ASSERT_GE(rec.shown.size(), 3u);
    EXPECT_EQ(rec.shown.front().size(), sysinfo::kMaxReadBytes);
    EXPECT_EQ(rec.shown.back(), big);
    for (std::size_t i = 1; i < rec.shown.size(); ++i) {
        EXPECT_TRUE(rec.shown[i].starts_with(rec.shown[i - 1]));
        EXPECT_LE(rec.shown[i].size() - rec.shown[i - 1].size(), sysinfo::kMaxReadBytes);
    }

    // A character cut between two reads shows broken once, then whole.
    platform::CFakeProcessRunner cut({"A\xB5", "\xE7\xB3\xD8"});  // 电池 split after a lead byte
    Recorder rec2;
    sysinfo::RunCommand(cut, "x", rec2.View());
    EXPECT_EQ(rec2.shown, (std::vector<std::string>{"A\xB5", "A\xB5\xE7\xB3\xD8"}));
}

TEST(RunCommand, NoOutputShowsNothing) {
    platform::CFakeProcessRunner runner;
    Recorder rec;
    EXPECT_EQ(sysinfo::RunCommand(runner, "true", rec.View()), sysinfo::CaptureResult::kFinished);
    EXPECT_TRUE(rec.events.empty());
    EXPECT_EQ(runner.Reads(), 1);
}

TEST(RunCommand, FailuresTellTheUserUnderTheApplicationName) {
    platform::CFakeProcessRunner noPipe({"never"});
    noPipe.FailPipe();
    Recorder rec;
    EXPECT_EQ(sysinfo::RunCommand(noPipe, "x", rec.View("quorrix")),
              sysinfo::CaptureResult::kPipeFailed);
    EXPECT_EQ(rec.events, std::vector<std::string>{"notify CreatePipe Failed|quorrix"});
    EXPECT_TRUE(noPipe.CommandLines().empty());  // nothing was started

    platform::CFakeProcessRunner noStart({"never"});
    noStart.FailStart();
    Recorder rec2;
    EXPECT_EQ(sysinfo::RunCommand(noStart, "x", rec2.View("my-q")),
              sysinfo::CaptureResult::kStartFailed);
    EXPECT_EQ(rec2.events, std::vector<std::string>{"notify CreateProcess failed!|my-q"});
    EXPECT_FALSE(noStart.PipeOpen());
    EXPECT_EQ(noStart.Reads(), 0);
}

}  // namespace
