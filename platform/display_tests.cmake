target_sources(quorrix_platform_tests PRIVATE windows/display_paths_test.cpp)
if(NOT WIN32)
  target_sources(quorrix_platform_tests PRIVATE linux/drm_panel_edid_test.cpp)
endif()
