# The trash, where the conversion library is found, and how paths are
# separated and files probed.
if(WIN32)
  add_library(rastrex_platform_files STATIC
    ${CMAKE_CURRENT_LIST_DIR}/trash_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_paths_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_location.cpp)
  target_link_libraries(rastrex_platform_files PRIVATE shell32)
else()
  add_library(rastrex_platform_files STATIC
    ${CMAKE_CURRENT_LIST_DIR}/trash_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/file_paths_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_location.cpp)
endif()
target_include_directories(rastrex_platform_files PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(rastrex_platform_files PUBLIC Qt6::Core rastrex_dialogs)
# The installed program finds the library in the library folder, named
# relative to its own folder so that the whole tree may be moved.
if(NOT WIN32)
  file(RELATIVE_PATH rastrex_library_dir_from_program
    ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  target_compile_definitions(rastrex_platform_files PRIVATE
    RASTREX_LIBRARY_DIR_FROM_PROGRAM="${rastrex_library_dir_from_program}")
endif()
