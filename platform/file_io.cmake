# Reading whole small files and writing saved folders: one implementation per system behind
# file_io.h.
if(WIN32)
  target_sources(quorrix_platform PRIVATE windows/file_io.cpp windows/file_io_save.cpp)
else()
  target_sources(quorrix_platform PRIVATE linux/file_io.cpp linux/file_io_save.cpp)
endif()
