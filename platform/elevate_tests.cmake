target_sources(quorrix_platform_tests PRIVATE recorded_drive_test.cpp)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform_tests PRIVATE linux/elevate_test.cpp)
endif()
