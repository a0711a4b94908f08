# bench_thumbnail: the thumbnails of every kind of dump at 1920 x 1080 and
# 3840 x 2160, their time and the peak memory of a process making one.
add_executable(bench_thumbnail ${CMAKE_CURRENT_SOURCE_DIR}/thumbnail_bench.cpp)
target_include_directories(bench_thumbnail PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(bench_thumbnail PRIVATE rastrex_thumb)
