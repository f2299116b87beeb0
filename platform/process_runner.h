// Running one command line through the system's command interpreter with its output captured
// on a pipe.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace platform {

// One capture, in the order a caller takes the steps: OpenPipe, Start, Read until it reports
// the end, Close. An object runs one command at a time; Close makes it ready for the next.
// Abstract so that the capture loop can be tested with scripted output.
class IProcessRunner {
public:
    virtual ~IProcessRunner() = default;

    // Creates the pipe that will carry the command's standard output and standard error.
    // False when the system refuses (no handles left); `*err` (if given) says why.
    [[nodiscard]] virtual bool OpenPipe(std::string* err) = 0;

    // Starts `commandLine` through the system's command interpreter, with no terminal or
    // window of its own, standard input from the null device, standard output and error both
    // on the pipe, then closes this side's copy of the write end, so that the output ends once
    // the command and everything it started have closed theirs. Nothing waits for the command
    // to finish. False when the interpreter could not be started (no pipe opened, or the
    // system refused the process); the pipe is closed then and `*err` (if given) says why.
    [[nodiscard]] virtual bool Start(const std::string& commandLine, std::string* err) = 0;

    // Waits until output is there and copies at most buffer.size() bytes of it. The number
    // of bytes copied (at least 1), or nullopt when the output has ended or cannot be read.
    [[nodiscard]] virtual std::optional<std::size_t> Read(std::span<char> buffer) = 0;

    // Ends the command and everything it started, so that a Read waiting on another thread
    // returns soon (nullopt once the output has ended). The caller still calls Close. Safe at
    // any step and more than once, also from another thread while a Read waits (but not at
    // the same time as OpenPipe, Start or Close); nothing happens when no command runs.
    virtual void Terminate() = 0;

    // Closes whatever is still open. Safe to call at any step and more than once.
    virtual void Close() = 0;
};

}  // namespace platform
