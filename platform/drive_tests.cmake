if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform_tests PRIVATE linux/drive_list_test.cpp linux/sg_io_ata_test.cpp
                 linux/nvme_admin_test.cpp linux/linux_drive_system_test.cpp)
endif()
