#include "sysinfo/command_capture.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_process_runner.h"
#include "platform/process_runner.h"
#include "text/gbk.h"

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

// Keeps only the last text shown: the long runs below show a megabyte many times.
struct LastShown {
    std::string text;
    int nShows = 0;
    int nPauses = 0;
    sysinfo::CaptureView View() {
        return {[this](const std::string& shown) {
                    text = shown;
                    ++nShows;
                },
                [this](std::chrono::milliseconds) { ++nPauses; },
                [](std::string_view, std::string_view) { ADD_FAILURE() << "unexpected notice"; },
                "quorrix"};
    }
};

TEST(RunCommand, OutputBeyondOneMegabyteIsCutAtALineWithANotice) {
    EXPECT_EQ(sysinfo::kOutputCutText, text::Utf8ToGbk("（输出超过 1 MB，其余已略去）\r\n"));
    // Numbered GBK lines, twice the limit, handed over as one endless stream.
    std::string lines;
    for (int i = 0; lines.size() < 2 * sysinfo::kMaxOutputBytes; ++i)
        lines += "\xD0\xD0 " + std::to_string(i) + "\r\n";  // 行 N
    platform::CFakeProcessRunner runner({lines});
    LastShown last;
    EXPECT_EQ(sysinfo::RunCommand(runner, "x", last.View()), sysinfo::CaptureResult::kFinished);
    // Reading stops with the read that crosses the limit; the pipe is closed.
    EXPECT_EQ(runner.Reads(),
              static_cast<int>(sysinfo::kMaxOutputBytes / sysinfo::kMaxReadBytes) + 1);
    EXPECT_FALSE(runner.PipeOpen());
    EXPECT_EQ(runner.Closes(), 1);
    EXPECT_EQ(last.nShows, runner.Reads());
    EXPECT_EQ(last.nPauses, runner.Reads());
    // Whole lines within the limit, then the notice as the last line.
    const std::string& shown = last.text;
    ASSERT_TRUE(shown.ends_with(sysinfo::kOutputCutText));
    const std::string kept = shown.substr(0, shown.size() - sysinfo::kOutputCutText.size());
    EXPECT_LE(kept.size(), sysinfo::kMaxOutputBytes);
    EXPECT_GT(kept.size(), sysinfo::kMaxOutputBytes - 16);  // only the cut line is dropped
    EXPECT_TRUE(kept.ends_with("\r\n"));
    EXPECT_EQ(lines.compare(0, kept.size(), kept), 0);

    // One line longer than the limit is cut at the limit and the notice starts a line.
    platform::CFakeProcessRunner oneLine({std::string(sysinfo::kMaxOutputBytes + 10, 'a')});
    LastShown single;
    sysinfo::RunCommand(oneLine, "x", single.View());
    EXPECT_EQ(single.text, std::string(sysinfo::kMaxOutputBytes, 'a') + "\r\n" +
                               std::string(sysinfo::kOutputCutText));
}

TEST(RunCommand, OutputOfExactlyTheLimitIsKeptWhole) {
    const std::string whole(sysinfo::kMaxOutputBytes, 'b');
    platform::CFakeProcessRunner runner({whole});
    LastShown last;
    sysinfo::RunCommand(runner, "x", last.View());
    EXPECT_EQ(last.text, whole);
    EXPECT_EQ(last.nShows + 1, runner.Reads());  // read on to the end of the output
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
