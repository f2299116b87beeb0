if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform_tests PRIVATE linux/process_runner_test.cpp)
endif()
