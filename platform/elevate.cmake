# The reads that need root. Everywhere: drive calls recorded and replayed, and the probe's
# stream (probe/), which quorrix-report's tests and any build read. On Linux: the window's
# client that runs quorrix-probe through pkexec, and finds it from the install layout.
target_sources(quorrix_platform PRIVATE recorded_drive.cpp ${PROJECT_SOURCE_DIR}/probe/probe_stream.cpp
               ${PROJECT_SOURCE_DIR}/probe/probe_read.cpp
               ${PROJECT_SOURCE_DIR}/probe/probe_sources.cpp)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform PRIVATE linux/elevate.cpp)
  file(RELATIVE_PATH QUORRIX_PROBE_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
       ${CMAKE_INSTALL_FULL_LIBEXECDIR}/quorrix/quorrix-probe)
  set_source_files_properties(linux/elevate.cpp PROPERTIES COMPILE_DEFINITIONS
                              "QUORRIX_PROBE_FROM_BINDIR=\"${QUORRIX_PROBE_FROM_BINDIR}\"")
endif()
