# bench_convert: fnRastrex on every kind of dump at 1920 x 1080 and 3840 x 2160
# against the floor of its reads and writes, and against the installed peers.
add_executable(bench_convert ${CMAKE_CURRENT_SOURCE_DIR}/convert_bench.cpp)
# (The floor reads dump headers with the library's own byte_order.h.)
target_include_directories(bench_convert PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${CMAKE_CURRENT_SOURCE_DIR}
  ${PROJECT_SOURCE_DIR}/conv)
target_link_libraries(bench_convert PRIVATE RASTREX)
