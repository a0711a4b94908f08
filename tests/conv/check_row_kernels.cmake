# Fails if an object of the wide row kernels (rows_ssse3, rows_avx2,
# rows_avx512) defines a weak function: code that other files may hold too,
# compiled there with instructions the processor may lack, and of which the
# linker may keep that copy for every caller.
# Usage: cmake -DNM=... -DOBJECTS="a.o|b.o|..." -P check_row_kernels.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" objects "${OBJECTS}")
list(FILTER objects INCLUDE REGEX "/rows_(ssse3|avx2|avx512)\\.cpp\\.o(bj)?$")
foreach(object IN LISTS objects)
  execute_process(COMMAND ${NM} --defined-only ${object} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${object}")
  endif()
  # W: a weak function; i: an indirect one.
  string(REGEX MATCHALL "[^\n]* [Wi] [^\n]*" shared "${symbols}")
  if(shared)
    message(FATAL_ERROR "${object} defines functions other files may share: ${shared}")
  endif()
  message(STATUS "${object}: no shared functions")
endforeach()
