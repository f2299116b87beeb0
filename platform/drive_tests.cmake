if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform_tests PRIVATE linux/drive_list_test.cpp linux/sg_io_ata_test.cpp
                 linux/nvme_admin_test.cpp linux/linux_drive_system_test.cpp)
endif()
# The Windows drive layer over recorded replies, and the SMART reader through it (hence
# quorrix_disk); the live run against the real layer under Windows (Wine) only.
target_sources(quorrix_platform_tests PRIVATE windows/smart_ioctl_test.cpp
               windows/storage_query_test.cpp windows/nvme_query_test.cpp
               windows/windows_drive_test.cpp windows/windows_drive_reader_test.cpp)
target_link_libraries(quorrix_platform_tests PRIVATE quorrix_disk)
if(WIN32)
  target_sources(quorrix_platform_tests PRIVATE windows/windows_drive_live_test.cpp)
else()
  target_sources(quorrix_platform_tests PRIVATE ${QUORRIX_WINDOWS_DRIVE_SOURCES})
endif()
