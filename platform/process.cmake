# Starting a command through the system's interpreter with its output on a pipe (the summary
# page), and the system facts that the summary program prints.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform PRIVATE linux/process_runner.cpp linux/host_facts.cpp)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  target_sources(quorrix_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/windows/process_runner_win.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/process_self_path.cpp)
endif()
