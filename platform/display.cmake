# The built-in panel's EDID: sysfs on Linux; on Windows the display configuration and the
# monitor's registry key, with the choice among the display paths built on every system.
target_sources(quorrix_platform PRIVATE windows/display_paths.cpp)
if(WIN32)
  target_sources(quorrix_platform PRIVATE windows/panel_edid_win.cpp)
  target_link_libraries(quorrix_platform PRIVATE setupapi user32 advapi32)
else()
  target_sources(quorrix_platform PRIVATE linux/drm_panel_edid.cpp)
endif()
