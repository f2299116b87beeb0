// An owned file descriptor, closed when it goes out of scope.
#pragma once

#include <unistd.h>

#include <utility>

namespace platform {

class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_hFd(fd) {}
    ~CUniqueFd() { Reset(); }
    CUniqueFd(CUniqueFd&& other) noexcept : m_hFd(std::exchange(other.m_hFd, -1)) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            m_hFd = std::exchange(other.m_hFd, -1);
        }
        return *this;
    }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;

    bool Valid() const { return m_hFd >= 0; }
    int Get() const { return m_hFd; }
    int Release() { return std::exchange(m_hFd, -1); }
    void Reset(int fd = -1) {
        if (m_hFd >= 0) ::close(m_hFd);
        m_hFd = fd;
    }

private:
    int m_hFd = -1;
};

}  // namespace platform
