target_sources(quorrix_platform_tests PRIVATE power_supply_test.cpp power_supply_folder_test.cpp)
# CBatteryInfo over the Windows reader with a recorded driver; the live calls under Windows.
target_sources(quorrix_platform_tests PRIVATE windows/battery_ioctl_test.cpp
               windows/battery_recorded_calls.cpp windows/windows_battery_system_test.cpp
               windows/windows_battery_fixtures_test.cpp)
target_link_libraries(quorrix_platform_tests PRIVATE quorrix_battery)
if(WIN32)
  target_sources(quorrix_platform_tests PRIVATE windows/windows_battery_live_test.cpp)
endif()
