# The firmware's SMBIOS table on Windows: WMI, then the firmware table call. The fetch's
# sequence (wmi_smbios_query), the firmware table reply (rsmb_table) and the choice between
# the two (smbios_fallback) make no system call, so their tests run in every build.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  target_sources(quorrix_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/windows/wmi_smbios_query.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/wmi_smbios_session.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/wmi_smbios_source.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/wmi_variant.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/rsmb_table.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/rsmb_table_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/smbios_fallback.cpp)
  target_link_libraries(quorrix_platform PUBLIC ole32 oleaut32 wbemuuid)
endif()

# The test program may be declared after this file is read, so its sources are added once the
# whole folder has been read.
function(quorrix_add_wmi_smbios_tests)
  if(NOT TARGET quorrix_platform_tests)
    return()
  endif()
  set(dir ${PROJECT_SOURCE_DIR}/platform/windows)
  target_sources(quorrix_platform_tests PRIVATE ${dir}/wmi_smbios_query_test.cpp
                 ${dir}/rsmb_table_test.cpp ${dir}/smbios_fallback_test.cpp)
  if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    target_sources(quorrix_platform_tests PRIVATE ${dir}/wmi_variant_test.cpp
                   ${dir}/wmi_smbios_source_test.cpp)
  else()
    target_sources(quorrix_platform_tests PRIVATE ${dir}/wmi_smbios_query.cpp
                   ${dir}/rsmb_table.cpp ${dir}/smbios_fallback.cpp)
  endif()
endfunction()
if(BUILD_TESTING)
  cmake_language(DEFER CALL quorrix_add_wmi_smbios_tests)
endif()
