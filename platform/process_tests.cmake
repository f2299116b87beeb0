# The runner's shared promises run against this system's runner, through the capture loop too.
target_sources(quorrix_platform_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/process_runner_contract_test.cpp)
target_link_libraries(quorrix_platform_tests PRIVATE quorrix_sysinfo)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform_tests PRIVATE linux/process_runner_test.cpp)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  target_sources(quorrix_platform_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/windows/process_runner_win_test.cpp)
endif()
# Nothing planted in the current folder runs: not as the summary command, not as a DLL.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  target_sources(quorrix_platform_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/windows/summary_command_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/dll_search_test.cpp)
endif()

# A slow command of our own for the tests (the window tests run it too).
add_executable(quorrix_slow_output ${CMAKE_CURRENT_LIST_DIR}/slow_output_test_program.cpp)
target_link_libraries(quorrix_slow_output PRIVATE quorrix_warnings)
target_compile_definitions(quorrix_platform_tests PRIVATE
    QUORRIX_SLOW_OUTPUT_PATH="$<TARGET_FILE:quorrix_slow_output>")
add_dependencies(quorrix_platform_tests quorrix_slow_output)
