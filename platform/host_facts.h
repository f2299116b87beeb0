// Facts about the running system that only the C library can tell: the kernel's identity
// and the network interfaces with their addresses. The summary program prints them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// uname(2): "Linux", the host name, the kernel release and build, the machine ("x86_64").
struct KernelIdentity {
    std::string strSystem;
    std::string strNodeName;
    std::string strRelease;
    std::string strVersion;
    std::string strMachine;
};

// nullopt when the kernel does not answer.
[[nodiscard]] std::optional<KernelIdentity> ReadKernelIdentity();

struct NetworkInterface {
    std::string strName;
    std::vector<std::string> addresses;  // IPv4 and IPv6, as text, in the kernel's order
};

// Every interface except loopback, in the kernel's order, addresses or not. nullopt when the
// list cannot be had.
[[nodiscard]] std::optional<std::vector<NetworkInterface>> ReadNetworkInterfaces();

}  // namespace platform
