// A process runner that plays back scripted output and records how it was driven, for
// tests of the capture loop and of the pages that use it.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/process_runner.h"

namespace platform {

class CFakeProcessRunner final : public IProcessRunner {
public:
    // Each string is what one Read delivers (cut to the caller's buffer size, the rest
    // delivered by the next Read); after the last one Read reports the end.
    explicit CFakeProcessRunner(std::vector<std::string> pieces = {})
        : m_arrScript(std::move(pieces)) {}

    void FailPipe(bool fail = true) { m_bFailPipe = fail; }
    void FailStart(bool fail = true) { m_bFailStart = fail; }
    void SetScript(std::vector<std::string> pieces) { m_arrScript = std::move(pieces); }

    bool OpenPipe(std::string* err) override {
        ++m_nPipeOpens;
        if (m_bFailPipe) {
            if (err) *err = "pipe: Too many open files";
            return false;
        }
        m_bPipeOpen = true;
        return true;
    }

    bool Start(const std::string& commandLine, std::string* err) override {
        m_arrCommandLines.push_back(commandLine);
        if (!m_bPipeOpen || m_bFailStart) {
            if (err) *err = "start /bin/sh: No such file or directory";
            m_bPipeOpen = false;
            return false;
        }
        m_pending.assign(m_arrScript.begin(), m_arrScript.end());
        m_bStarted = true;
        m_bTerminated = false;
        return true;
    }

    std::optional<std::size_t> Read(std::span<char> buffer) override {
        ++m_nReads;
        m_arrReadSizes.push_back(buffer.size());
        if (!m_bStarted || m_bTerminated || m_pending.empty() || buffer.empty()) {
            return std::nullopt;
        }
        std::string& piece = m_pending.front();
        const std::size_t n = std::min(piece.size(), buffer.size());
        std::copy_n(piece.begin(), n, buffer.begin());
        piece.erase(0, n);
        if (piece.empty()) m_pending.pop_front();
        return n;
    }

    // Nothing runs: the next Read reports the end. Only atomics here, as a Read may be
    // running on another thread.
    void Terminate() override {
        ++m_nTerminates;
        m_bTerminated = true;
    }

    void Close() override {
        if (m_bPipeOpen) ++m_nCloses;
        m_bPipeOpen = false;
        m_bStarted = false;
        m_pending.clear();
    }

    bool PipeOpen() const { return m_bPipeOpen; }
    int PipeOpens() const { return m_nPipeOpens; }
    int Closes() const { return m_nCloses; }
    int Reads() const { return m_nReads; }
    int Terminates() const { return m_nTerminates; }
    const std::vector<std::size_t>& ReadSizes() const { return m_arrReadSizes; }
    const std::vector<std::string>& CommandLines() const { return m_arrCommandLines; }

private:
    std::vector<std::string> m_arrScript;
    std::deque<std::string> m_pending;
    std::atomic<int> m_nTerminates = 0;
    std::atomic<bool> m_bTerminated = false;
    bool m_bFailPipe = false;
    bool m_bFailStart = false;
    bool m_bPipeOpen = false;
    bool m_bStarted = false;
    int m_nPipeOpens = 0;
    int m_nCloses = 0;
    int m_nReads = 0;
    std::vector<std::size_t> m_arrReadSizes;
    std::vector<std::string> m_arrCommandLines;
};

}  // namespace platform
