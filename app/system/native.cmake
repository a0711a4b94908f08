# The system's services that need no toolkit, their headers here and one
# source per platform in linux/ or windows/: folders as the platform lists
# them, and how the conversion library is loaded. (How paths are spelled is
# common/path_rules.h.)

if(WIN32)
  add_library(rastrex_platform_files STATIC
    ${CMAKE_CURRENT_LIST_DIR}/windows/folder_listing_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/windows/runtime_library_windows.cpp)
else()
  add_library(rastrex_platform_files STATIC
    ${CMAKE_CURRENT_LIST_DIR}/linux/folder_listing_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux/runtime_library_linux.cpp)
endif()
target_sources(rastrex_platform_files PRIVATE ${CMAKE_CURRENT_LIST_DIR}/runtime_library.cpp)
target_include_directories(rastrex_platform_files PUBLIC
  ${CMAKE_CURRENT_LIST_DIR}
  $<TARGET_PROPERTY:RASTREX,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(rastrex_platform_files PUBLIC rastrex_logic PRIVATE ${CMAKE_DL_LIBS})
if(WIN32)
  target_link_libraries(rastrex_platform_files PUBLIC rastrex_long_path)
endif()
