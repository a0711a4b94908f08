# rastrex_add_row_kernels(TARGET): adds to TARGET the row kernels of each
# instruction set this build can have, each file compiled for its own set
# (see row_kernels.h), and defines RASTREX_ROWS_<SET> for each, which the
# processor check and the choice of row paths read. SSSE3 on x86 with GCC or
# clang; AVX2 and AVX-512 as well, except on 32-bit Windows, whose callers
# keep the stack aligned to 4 bytes only.
# rastrex_define_row_sets(TARGET): the definitions alone, for a target that
# compiles the processor check to name the path without decoding.
function(rastrex_row_sets var)
  set(sets "")
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" AND
     CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86|x86)$")
    set(sets SSSE3)
    if(NOT (WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4))
      list(APPEND sets AVX2 AVX512)
    endif()
  endif()
  set(${var} ${sets} PARENT_SCOPE)
endfunction()

function(rastrex_define_row_sets target)
  rastrex_row_sets(sets)
  foreach(set IN LISTS sets)
    target_compile_definitions(${target} PRIVATE RASTREX_ROWS_${set})
  endforeach()
endfunction()

function(rastrex_add_row_kernels target)
  rastrex_row_sets(sets)
  set(flags_SSSE3 -mssse3)
  set(flags_AVX2 -mavx2)
  set(flags_AVX512 -mavx512f -mavx512bw -mavx512vbmi)
  foreach(set IN LISTS sets)
    string(TOLOWER ${set} name)
    set(file ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/rows_${name}.cpp)
    target_sources(${target} PRIVATE ${file})
    # (A source file's options hold in the folder that sets them: each
    # target's own CMakeLists calls this.)
    set_source_files_properties(${file} PROPERTIES COMPILE_OPTIONS "${flags_${set}}")
  endforeach()
  rastrex_define_row_sets(${target})
endfunction()
