# Reading whole small files: one reader per system behind file_io.h.
if(WIN32)
  target_sources(quorrix_platform PRIVATE windows/file_io.cpp)
else()
  target_sources(quorrix_platform PRIVATE linux/file_io.cpp)
endif()
