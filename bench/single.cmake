# bench_convert: fnRastrex on 3840 x 2160 dumps of three kinds against a plain
# copy of the file, and against ImageMagick and netpbm when installed.
add_executable(bench_convert ${CMAKE_CURRENT_SOURCE_DIR}/convert_bench.cpp)
target_include_directories(bench_convert PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(bench_convert PRIVATE RASTREX)
