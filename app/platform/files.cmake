# Folders as the platform lists them, the trash, where the conversion
# library is found and how it is loaded, gathered as the window's services.
if(WIN32)
  add_library(rastrex_platform_files STATIC
    ${CMAKE_CURRENT_LIST_DIR}/folder_listing_windows.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_library_windows.cpp)
else()
  add_library(rastrex_platform_files STATIC
    ${CMAKE_CURRENT_LIST_DIR}/folder_listing_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_library_linux.cpp)
endif()
target_include_directories(rastrex_platform_files PUBLIC
  ${CMAKE_CURRENT_LIST_DIR}
  $<TARGET_PROPERTY:RASTREX,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(rastrex_platform_files PUBLIC rastrex_logic PRIVATE ${CMAKE_DL_LIBS})

# The services of the Linux window (the Windows ones are in win32/).
if(NOT WIN32)
  add_library(rastrex_platform_services STATIC
    ${CMAKE_CURRENT_LIST_DIR}/trash_linux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/library_location.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_services_linux.cpp)
  target_include_directories(rastrex_platform_services PUBLIC ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(rastrex_platform_services PUBLIC rastrex_platform_files Qt6::Core)
endif()
