#include "sysinfo/command_capture_pump.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "platform/fake/fake_process_runner.h"

namespace {

using namespace std::chrono_literals;

// A window's pump as a script: what a message handled during the wait does, and whether the
// window is still there.
class CScriptedPump final : public sysinfo::IMessagePump {
public:
    std::function<void()> onMessage;
    bool windowGone = false;
    std::vector<std::chrono::milliseconds> limits;
    std::atomic<int> wakes = 0;

    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        limits.push_back(limit);
        if (onMessage) onMessage();
        if (windowGone) return false;
        // Stands for messages handled until the read is done or the limit has passed.
        const auto end = std::chrono::steady_clock::now() + std::min(limit, 2000ms);
        while (!done() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(1ms);
        return true;
    }
    void Wake() override { ++wakes; }
};

TEST(PumpedRunner, ReadsWhileTheWindowHandlesMessagesAndStopsWhenTerminated) {
    struct Case {
        const char* name;
        bool terminateInHandler;  // a close handler ends the run during the first read
        bool windowGone;          // the window is destroyed during the first read
        std::vector<std::string> expected;
        int terminates;
    };
    const Case cases[] = {
        {"undisturbed", false, false, {"ab", "cd"}, 0},
        {"closed during the run", true, false, {}, 1},
        {"window destroyed", false, true, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform::CFakeProcessRunner fake({"ab", "cd"});
        CScriptedPump pump;
        sysinfo::CPumpedRunner runner(fake, pump);
        pump.windowGone = c.windowGone;
        pump.onMessage = [&] {
            if (c.terminateInHandler) runner.Terminate();
        };
        ASSERT_TRUE(runner.OpenPipe(nullptr));
        ASSERT_TRUE(runner.Start("x", nullptr));
        std::vector<std::string> pieces;
        std::array<char, 8> buffer{};
        while (const auto n = runner.Read(buffer)) pieces.emplace_back(buffer.data(), *n);
        EXPECT_EQ(pieces, c.expected);
        EXPECT_EQ(fake.Terminates(), c.terminates);
        EXPECT_EQ(runner.Terminated(), c.terminates > 0);
        ASSERT_FALSE(pump.limits.empty());
        EXPECT_EQ(pump.limits.front(), sysinfo::kNoLimit) << "a read waits as long as it takes";
        EXPECT_GE(pump.wakes.load(), 1);
        runner.Close();
        EXPECT_FALSE(fake.PipeOpen());

        // The pause handles messages for its length, and not at all once terminated.
        pump.limits.clear();
        runner.Pause(5ms);
        EXPECT_EQ(pump.limits.size(), c.terminates > 0 ? 0u : 1u);
        // A new run starts afresh.
        pump.onMessage = nullptr;
        pump.windowGone = false;
        ASSERT_TRUE(runner.OpenPipe(nullptr));
        ASSERT_TRUE(runner.Start("x", nullptr));
        EXPECT_TRUE(runner.Read(buffer));
        runner.Close();
    }
}

}  // namespace
