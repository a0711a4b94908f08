# bench_batch: a thousand small dumps converted by xwd2bmp, one thread and
# all cores, against ImageMagick's mogrify and a netpbm shell loop.
if(RASTREX_BUILD_CLI)
  add_executable(bench_batch ${CMAKE_CURRENT_SOURCE_DIR}/bench_batch.cpp)
  target_include_directories(bench_batch PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(bench_batch PRIVATE XWD2BMP_PATH="$<TARGET_FILE:xwd2bmp>")
  add_dependencies(bench_batch xwd2bmp)
endif()
