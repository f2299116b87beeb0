#include "platform/host_facts.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/utsname.h>

#include <algorithm>
#include <memory>

namespace platform {
namespace {

std::optional<std::string> AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET) {
        const auto* in4 = reinterpret_cast<const sockaddr_in*>(address);
        if (::inet_ntop(AF_INET, &in4->sin_addr, text, sizeof text)) return std::string(text);
    } else if (address->sa_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(address);
        if (::inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text)) return std::string(text);
    }
    return std::nullopt;
}

}  // namespace

std::optional<KernelIdentity> ReadKernelIdentity() {
    utsname names{};
    if (::uname(&names) != 0) return std::nullopt;
    return KernelIdentity{names.sysname, names.nodename, names.release, names.version,
                          names.machine};
}

std::optional<std::vector<NetworkInterface>> ReadNetworkInterfaces() {
    ifaddrs* first = nullptr;
    if (::getifaddrs(&first) != 0) return std::nullopt;
    const std::unique_ptr<ifaddrs, void (*)(ifaddrs*)> owner(first, ::freeifaddrs);

    std::vector<NetworkInterface> interfaces;
    for (const ifaddrs* entry = first; entry; entry = entry->ifa_next) {
        if (!entry->ifa_name || (entry->ifa_flags & IFF_LOOPBACK)) continue;
        auto it =
            std::find_if(interfaces.begin(), interfaces.end(),
                         [&](const NetworkInterface& i) { return i.strName == entry->ifa_name; });
        if (it == interfaces.end()) {
            interfaces.push_back({entry->ifa_name, {}});
            it = interfaces.end() - 1;
        }
        if (entry->ifa_addr) {
            if (auto text = AddressText(entry->ifa_addr)) it->addresses.push_back(std::move(*text));
        }
    }
    return interfaces;
}

}  // namespace platform
