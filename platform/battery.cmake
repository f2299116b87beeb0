# The battery seam: the interface (battery_system.h), the power_supply reader and the fake.
target_sources(quorrix_platform PRIVATE fake/fake_battery_system.cpp)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  target_sources(quorrix_platform PRIVATE linux/power_supply.cpp linux/sysfs_battery_system.cpp)
  quorrix_add_fuzzer(power_supply_fuzzer SOURCES linux/power_supply_fuzzer.cpp
                     LIBS quorrix_platform)
endif()
