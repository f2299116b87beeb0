// The WMI query that fetches the raw SMBIOS table (class MSSMBios_RawSMBiosTables in the
// ROOT\WMI namespace), behind a seam small enough to script, and the fetch itself as a pure
// function over that seam. Only the session in wmi_smbios_session.cpp makes COM calls.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/smbios_source.h"

namespace platform {

// The properties of one MSSMBios_RawSMBiosTables instance that the fetch reads, in that order.
inline constexpr std::string_view kWmiMajorVersionProperty = "SmbiosMajorVersion";
inline constexpr std::string_view kWmiMinorVersionProperty = "SmbiosMinorVersion";
inline constexpr std::string_view kWmiTableDataProperty = "SMBiosData";

// The decoder's buffer holds fewer bytes than this; a longer table is handed up cut to this
// length, which the decoder still refuses as too large.
inline constexpr std::size_t kWmiMaxHandedUpBytes = 64000;

// The longest a WMI fetch may take, connecting and enumerating together. A trimmed or broken
// WMI service can hang a query for minutes; the firmware tables are then read another way.
inline constexpr std::chrono::milliseconds kWmiTimeLimit{10000};

// One WMI session, driven in the order of the calls below.
class IWmiRawSmbiosQuery {
public:
    virtual ~IWmiRawSmbiosQuery() = default;

    // Initialises COM, creates the locator, connects to ROOT\WMI, sets the proxy blanket and
    // asks for an enumerator of the class's instances (semisynchronous: the call returns at
    // once). False when any of these fails.
    [[nodiscard]] virtual bool Connect() = 0;
    // Moves to the next instance, waiting at most until the session's deadline. False when
    // there is none left, the wait ran out or the call fails.
    [[nodiscard]] virtual bool NextInstance() = 0;
    // The low byte of the integer property `name` of the current instance; nullopt when the
    // property is missing, null or not an integer.
    [[nodiscard]] virtual std::optional<std::uint8_t> GetByte(std::string_view name) = 0;
    // Every byte of the property `name` of the current instance, a one-dimensional array of
    // unsigned bytes; nullopt when the property is missing, null or of another type.
    [[nodiscard]] virtual std::optional<std::vector<std::uint8_t>> GetBytes(
        std::string_view name) = 0;
};

// Runs one fetch: connect, take the first instance only, read the major version, the minor
// version, then the table. bReached is false only when the connection could not be set up;
// after that each part is kept as far as the reads got. A table longer than
// kWmiMaxHandedUpBytes is cut to that length.
[[nodiscard]] RawSmbios ReadRawSmbios(IWmiRawSmbiosQuery& query);

// Runs `fetch` on a thread of its own and waits for it at most `limit`: its answer, or nullopt
// when it has not answered by then or no thread could be started. A fetch still running is
// left to end by itself, and its answer is dropped; it must own everything it touches.
[[nodiscard]] std::optional<RawSmbios> FetchWithin(std::function<RawSmbios()> fetch,
                                                   std::chrono::milliseconds limit);

}  // namespace platform
