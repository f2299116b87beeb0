# The drive seam: drive listing and the SG_IO / NVMe admin wrappers on Linux; the SMART
# pass-through and the storage queries through DeviceIoControl on Windows. The Windows drive
# logic makes no system call (only windows_drive_handle.cpp does), so the test program of
# every build compiles it and runs it over recorded replies.
set(QUORRIX_WINDOWS_DRIVE_SOURCES windows/smart_ioctl.cpp windows/storage_query.cpp
    windows/nvme_query.cpp windows/windows_drive.cpp windows/windows_drive_system.cpp)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform PRIVATE linux/drive_list.cpp linux/sg_io_ata.cpp
                 linux/nvme_admin.cpp linux/linux_drive_system.cpp)
elseif(WIN32)
  target_sources(quorrix_platform PRIVATE ${QUORRIX_WINDOWS_DRIVE_SOURCES}
                 windows/windows_drive_handle.cpp windows/windows_drive_abi_check.cpp)
endif()
