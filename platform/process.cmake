# Starting a command through the shell with its output on a pipe (the summary page), and the
# system facts that the summary program prints.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform PRIVATE linux/process_runner.cpp linux/host_facts.cpp)
endif()
