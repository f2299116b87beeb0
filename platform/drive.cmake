# The drive seam: drive listing and the SG_IO / NVMe admin wrappers on Linux, and the
# in-memory drives that tests and saved sectors use.
target_sources(quorrix_platform PRIVATE fake/fake_drive_system.cpp)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform PRIVATE linux/drive_list.cpp linux/sg_io_ata.cpp
                 linux/nvme_admin.cpp linux/linux_drive_system.cpp)
endif()
