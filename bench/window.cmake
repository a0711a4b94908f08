# bench_window: the window offscreen in folders of many dumps: start-up to
# lists filled, Ctrl+R, and a batch from the window against xwd2bmp -j1.
if(RASTREX_BUILD_APP AND RASTREX_BUILD_CLI)
  find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets)
  add_executable(bench_window ${CMAKE_CURRENT_SOURCE_DIR}/bench_window.cpp)
  target_include_directories(bench_window PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(bench_window PRIVATE rastrex_qt rastrex_platform_services rastrex_logic)
  target_compile_definitions(bench_window PRIVATE XWD2BMP_PATH="$<TARGET_FILE:xwd2bmp>")
  add_dependencies(bench_window xwd2bmp RASTREX)
endif()
