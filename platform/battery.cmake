# The battery seam: the power_supply folder reader (every system) and the Windows reader.
target_sources(quorrix_platform PRIVATE power_supply.cpp power_supply_folder.cpp)
quorrix_add_fuzzer(power_supply_fuzzer SOURCES power_supply_fuzzer.cpp LIBS quorrix_platform)
# The Windows battery driver's requests and replies, and the reader over them, build on every
# system so that they are tested with recorded replies everywhere; the calls that reach the
# driver build only for Windows.
target_sources(quorrix_platform PRIVATE windows/battery_ioctl.cpp
               windows/windows_battery_system.cpp)
if(WIN32)
  target_sources(quorrix_platform PRIVATE windows/windows_battery_calls_win32.cpp
                 windows/battery_layout_win32.cpp)
  target_link_libraries(quorrix_platform PRIVATE setupapi)
endif()
