#include "sysinfo/command_capture_pump.h"

#include <optional>
#include <thread>

namespace sysinfo {

bool CPumpedRunner::OpenPipe(std::string* err) {
    m_bTerminated = false;
    return m_inner.OpenPipe(err);
}

bool CPumpedRunner::Start(const std::string& commandLine, std::string* err) {
    return m_inner.Start(commandLine, err);
}

std::optional<std::size_t> CPumpedRunner::Read(std::span<char> buffer) {
    if (m_bTerminated) return std::nullopt;
    std::optional<std::size_t> result;
    std::atomic<bool> done = false;
    std::thread reader([&] {
        result = m_inner.Read(buffer);
        done = true;
        m_pump.Wake();
    });
    const bool alive = m_pump.PumpUntil([&] { return done.load(); }, kNoLimit);
    // The window is gone: nobody waits for the output any more.
    if (!alive) Terminate();
    reader.join();
    if (m_bTerminated) return std::nullopt;
    return result;
}

void CPumpedRunner::Terminate() {
    m_bTerminated = true;
    m_inner.Terminate();
    m_pump.Wake();
}

void CPumpedRunner::Pause(std::chrono::milliseconds length) {
    if (!m_bTerminated) m_pump.PumpUntil([this] { return m_bTerminated.load(); }, length);
}

}  // namespace sysinfo
