# bench_batch: 500 VGA dumps and 50 4K dumps converted by xwd2bmp, one job and
# one a core, against ImageMagick's and GraphicsMagick's mogrify and a netpbm loop.
if(RASTREX_BUILD_CLI)
  add_executable(bench_batch ${CMAKE_CURRENT_SOURCE_DIR}/bench_batch.cpp)
  target_include_directories(bench_batch PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(bench_batch PRIVATE XWD2BMP_PATH="$<TARGET_FILE:xwd2bmp>")
  add_dependencies(bench_batch xwd2bmp)
endif()
