// The only place the drive seam calls Windows: CreateFileA on \\.\PhysicalDrive<d> and
// DeviceIoControl on the handle it gave. Everything else is in windows_drive.cpp.
#include <windows.h>
#include <winioctl.h>

#include <limits>
#include <utility>

#include "platform/windows/windows_drive_system.h"

namespace platform {
namespace {

// A device handle, closed when it goes.
class CUniqueHandle {
public:
    explicit CUniqueHandle(HANDLE handle) : m_hHandle(handle) {}
    CUniqueHandle(CUniqueHandle&& other) noexcept
        : m_hHandle(std::exchange(other.m_hHandle, INVALID_HANDLE_VALUE)) {}
    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(CUniqueHandle&&) = delete;
    ~CUniqueHandle() {
        if (m_hHandle != INVALID_HANDLE_VALUE) ::CloseHandle(m_hHandle);
    }
    HANDLE Get() const { return m_hHandle; }

private:
    HANDLE m_hHandle;
};

class CHandleDeviceIo final : public IDeviceIo {
public:
    explicit CHandleDeviceIo(CUniqueHandle device) : m_hDevice(std::move(device)) {}

    std::optional<std::uint32_t> Control(std::uint32_t code, std::span<const std::uint8_t> in,
                                         std::span<std::uint8_t> out,
                                         std::uint32_t* lastError) override {
        constexpr std::size_t kMaxBytes = std::numeric_limits<DWORD>::max();
        if (in.size() > kMaxBytes || out.size() > kMaxBytes) {
            *lastError = ERROR_INVALID_PARAMETER;
            return std::nullopt;
        }
        DWORD returned = 0;
        // METHOD_BUFFERED: the system copies the input out of the caller's buffer before the
        // driver runs, so handing it a non-const pointer never lets it write there.
        const BOOL ok = ::DeviceIoControl(
            m_hDevice.Get(), code, in.empty() ? nullptr : const_cast<std::uint8_t*>(in.data()),
            static_cast<DWORD>(in.size()), out.empty() ? nullptr : out.data(),
            static_cast<DWORD>(out.size()), &returned, nullptr);
        if (!ok) {
            *lastError = ::GetLastError();
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(returned);
    }

private:
    CUniqueHandle m_hDevice;
};

std::unique_ptr<IDeviceIo> OpenPhysicalDrive(const std::string& path) {
    CUniqueHandle device(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_SYSTEM, nullptr));
    if (device.Get() == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<CHandleDeviceIo>(std::move(device));
}

}  // namespace

std::unique_ptr<IDriveSystem> MakeWindowsDriveSystem() {
    return std::make_unique<CWindowsDriveSystem>(&OpenPhysicalDrive);
}

}  // namespace platform
