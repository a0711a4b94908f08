# The trash and where the conversion library is found, gathered with the
# folders and the loader of native.cmake as the window's services.
add_library(rastrex_platform_services STATIC
  ${CMAKE_CURRENT_LIST_DIR}/trash_linux.cpp
  ${CMAKE_CURRENT_LIST_DIR}/library_location.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_services_linux.cpp)
target_include_directories(rastrex_platform_services PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The trash is GIO's (libgio-2.0, part of GLib, which Qt already needs).
# Nothing here uses Qt: the Qt toolkit turns its paths into bytes.
find_package(PkgConfig REQUIRED)
pkg_check_modules(RASTREX_GIO REQUIRED IMPORTED_TARGET gio-2.0)
target_link_libraries(rastrex_platform_services PUBLIC rastrex_platform_files PRIVATE PkgConfig::RASTREX_GIO)
# The installed program finds the library in the library folder, named
# relative to its own folder so that the whole tree may be moved.
file(RELATIVE_PATH rastrex_library_dir_from_program
  ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
target_compile_definitions(rastrex_platform_services PRIVATE
  RASTREX_LIBRARY_DIR_FROM_PROGRAM="${rastrex_library_dir_from_program}")
