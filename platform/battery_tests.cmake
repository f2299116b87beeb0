if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform_tests PRIVATE linux/power_supply_test.cpp
                 linux/sysfs_battery_system_test.cpp)
endif()
