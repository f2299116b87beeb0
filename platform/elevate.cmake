# Re-running the window as root through pkexec (called first thing in the window's main()).
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform PRIVATE linux/elevate.cpp)
endif()
