# Testing the cross-built Windows programs on this Linux machine: GoogleTest built for
# Windows, Wine as the bench that ctest runs every test program on, and a check that the
# programs need no DLL beside them.

# GoogleTest for Windows, built once into the prefix the toolchain file searches.
if(QUORRIX_MINGW_GTEST_PREFIX AND
   NOT EXISTS "${QUORRIX_MINGW_GTEST_PREFIX}/lib/cmake/GTest/GTestConfig.cmake")
  message(STATUS "Building GoogleTest for Windows into ${QUORRIX_MINGW_GTEST_PREFIX}")
  execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/windows/build-gtest.sh"
                          "${QUORRIX_MINGW_GTEST_PREFIX}"
                  RESULT_VARIABLE quorrix_gtest_result)
  if(NOT quorrix_gtest_result EQUAL 0)
    message(FATAL_ERROR "GoogleTest for Windows could not be built (scripts/windows/build-gtest.sh)")
  endif()
endif()

# Test programs are listed when ctest starts, through Wine; building needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# The prefix is made now (about 4 s the first time), so that listing the first test program
# stays well inside gtest_discover_tests' 5 s.
if(CMAKE_CROSSCOMPILING_EMULATOR MATCHES "/scripts/windows/wine-exe$")
  execute_process(COMMAND bash -c ". \"$0\" && quorrix_wine_start"
                          "${PROJECT_SOURCE_DIR}/scripts/windows/wine-env.sh"
                  RESULT_VARIABLE quorrix_wine_result)
  if(NOT quorrix_wine_result EQUAL 0)
    message(WARNING "Wine is not ready (scripts/deps.sh windows installs it); ctest will fail")
  endif()
endif()

# Every .exe of the build imports system DLLs only: no libstdc++, libgcc or winpthread DLL.
add_test(NAME windows_static_imports
         COMMAND "${PROJECT_SOURCE_DIR}/scripts/windows/check-imports.sh" "${CMAKE_BINARY_DIR}")
