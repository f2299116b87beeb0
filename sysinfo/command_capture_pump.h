// Keeping a window alive while it captures a command: each read waits on a thread of its own
// while the window's thread goes on handling its messages, and so does each pause.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>

#include "platform/process_runner.h"

namespace sysinfo {

// PumpUntil's limit when only `done` ends the wait.
inline constexpr std::chrono::milliseconds kNoLimit = std::chrono::milliseconds::max();

// The window's side: handling its messages while its thread waits.
class IMessagePump {
public:
    virtual ~IMessagePump() = default;
    // Handles the window's messages until `done()` holds or `limit` has passed. False when
    // the window can take no more messages (it is gone, or the program is quitting) before
    // either happened.
    virtual bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) = 0;
    // From any thread: makes a running PumpUntil look at `done` again soon.
    virtual void Wake() = 0;
};

// A runner whose Read returns what `inner` reads, while `pump` handles the window's messages
// meanwhile. Terminate (typically from a close handler called inside the pump) ends the
// command; the Read under way then reports the end, as does every later one. A window that
// goes away during a read ends the command the same way.
class CPumpedRunner final : public platform::IProcessRunner {
public:
    CPumpedRunner(platform::IProcessRunner& inner, IMessagePump& pump)
        : m_inner(inner), m_pump(pump) {}

    bool OpenPipe(std::string* err) override;
    bool Start(const std::string& commandLine, std::string* err) override;
    std::optional<std::size_t> Read(std::span<char> buffer) override;
    void Terminate() override;
    void Close() override { m_inner.Close(); }

    // Waits `length` while the pump handles the window's messages; returns early once the
    // command was terminated.
    void Pause(std::chrono::milliseconds length);
    bool Terminated() const { return m_bTerminated; }

private:
    platform::IProcessRunner& m_inner;
    IMessagePump& m_pump;
    std::atomic<bool> m_bTerminated = false;
};

}  // namespace sysinfo
