// Finding a device interface with SetupDi (Windows build only). The battery calls use it for
// the battery interface class; tests use it for classes that every machine, and Wine, lists.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The device paths of the interfaces of `interfaceClass` whose devices are present, in the
// order SetupDi lists them, at most `maxCount`; an interface whose path cannot be read is left
// out. Empty when there is none or SetupDi fails. The device information set is destroyed
// before this returns.
std::vector<std::u16string> PresentInterfacePaths(const GUID& interfaceClass, std::size_t maxCount);

}  // namespace platform
