# The battery seam: the interface (battery_system.h), the power_supply reader and the fake.
target_sources(quorrix_platform PRIVATE fake/fake_battery_system.cpp)
target_sources(quorrix_platform PRIVATE power_supply.cpp power_supply_folder.cpp)
quorrix_add_fuzzer(power_supply_fuzzer SOURCES power_supply_fuzzer.cpp LIBS quorrix_platform)
