// Finding a device interface with SetupDi (Windows build only). The battery calls use it for
// the battery interface class; tests use it for classes that every machine, and Wine, lists.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace platform {

// The device path of the first interface of `interfaceClass` whose device is present; nullopt
// when there is none or SetupDi fails. The device information set is destroyed before this
// returns.
std::optional<std::u16string> FirstPresentInterfacePath(const GUID& interfaceClass);

}  // namespace platform
