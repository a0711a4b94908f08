# bench_verb: 1000 VGA dumps converted by rastrex-convert (its logic, and
# the real program) against xwd2bmp with as many jobs.
if(TARGET rastrex-convert)
  add_executable(bench_verb ${CMAKE_CURRENT_SOURCE_DIR}/bench_verb.cpp)
  target_include_directories(bench_verb PRIVATE ${PROJECT_SOURCE_DIR}/tests/support ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(bench_verb PRIVATE XWD2BMP_PATH="$<TARGET_FILE:xwd2bmp>"
    RASTREX_CONVERT_PATH="$<TARGET_FILE:rastrex-convert>")
  target_link_libraries(bench_verb PRIVATE rastrex_verb)
  add_dependencies(bench_verb xwd2bmp rastrex-convert)
endif()
