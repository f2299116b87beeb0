# Cross-building the Windows programs (x86_64) with mingw-w64's gcc, POSIX thread model:
#   cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The programs link statically, so each .exe imports only DLLs that Windows itself ships;
# ctest runs them under Wine through scripts/windows/wine-exe.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORRIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORRIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORRIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORRIX_MINGW_TRIPLE}-windres)

get_filename_component(QUORRIX_TOOLCHAIN_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# GoogleTest built with this file (scripts/windows/build-gtest.sh puts it here by default).
if(NOT QUORRIX_MINGW_GTEST_PREFIX)
  set(QUORRIX_MINGW_GTEST_PREFIX "${QUORRIX_TOOLCHAIN_ROOT}/build/mingw-gtest")
endif()
set(QUORRIX_MINGW_GTEST_PREFIX "${QUORRIX_MINGW_GTEST_PREFIX}"
    CACHE PATH "Install prefix of GoogleTest cross-built for Windows")

# Libraries, headers and packages come from the mingw-w64 tree and the GoogleTest prefix
# only; programs (windres, wine) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUORRIX_MINGW_TRIPLE} "${QUORRIX_MINGW_GTEST_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# libstdc++, libgcc and winpthread linked in: nothing to ship beside the .exe.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest (and gtest_discover_tests) run the test programs under Wine, in the project's prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR "${QUORRIX_TOOLCHAIN_ROOT}/scripts/windows/wine-exe")
