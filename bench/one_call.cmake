# bench_one_call: fnRastrex alone on one 3840 x 2160 dump; portable, so the
# Windows build runs it under Wine against the Linux build.
add_executable(bench_one_call ${CMAKE_CURRENT_SOURCE_DIR}/one_call_bench.cpp)
target_include_directories(bench_one_call PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
target_link_libraries(bench_one_call PRIVATE RASTREX)
