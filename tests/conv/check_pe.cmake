# Fails unless the Windows module FILE needs no DLL but the system's own (and
# ALLOW, shipped beside it) and, with EXPORT set, exports those names (a
# list, in the table's order) and nothing else.
# With UNALIGNED_WIDE_MOVES set, it also fails if any 256- or 512-bit move
# between a register and memory demands alignment: the 64-bit Windows stack
# is aligned to 16 bytes only.
# Usage: cmake -DOBJDUMP=... -DFILE=... [-DALLOW=dll] [-DEXPORT=name]
#   [-DUNALIGNED_WIDE_MOVES=ON] -P check_pe.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${FILE}")
endif()

# DLLs that every Windows has.
set(system_dlls kernel32.dll msvcrt.dll user32.dll advapi32.dll ntdll.dll shell32.dll
  version.dll gdi32.dll ole32.dll)
if(DEFINED ALLOW)
  string(TOLOWER "${ALLOW}" allow)
  list(APPEND system_dlls ${allow})
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${out}")
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" lower)
  if(NOT lower IN_LIST system_dlls AND NOT lower MATCHES "^api-ms-win-")
    message(FATAL_ERROR "${FILE} needs ${dll}, which a fresh Windows lacks")
  endif()
endforeach()
message(STATUS "imports: ${imports}")

if(DEFINED EXPORT)
  # The export name table: lines "[   0] name" after its heading.
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)*)" table "${out}")
  # (Without the "[   0] " of each line first: brackets in the elements
  # of a list would join them.)
  string(REGEX REPLACE "\\[[ 0-9]+\\] " "" table "${CMAKE_MATCH_1}")
  string(REGEX MATCHALL "[^ \t\n]+" names "${table}")
  if(NOT names STREQUAL EXPORT)
    message(FATAL_ERROR "${FILE} exports: '${names}', not '${EXPORT}' alone")
  endif()
  message(STATUS "exports: ${names}")
endif()

if(UNALIGNED_WIDE_MOVES)
  execute_process(COMMAND ${OBJDUMP} -d ${FILE} OUTPUT_VARIABLE code RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -d failed on ${FILE}")
  endif()
  # An aligned move naming a ymm or zmm register and a memory operand.
  set(aligned "vmov(dqa|dqa32|dqa64|aps|apd|ntdq|ntdqa|ntps|ntpd)")
  string(REGEX MATCH "\t${aligned} +([^\n]*[yz]mm[^\n]*\\(|[^\n]*\\([^\n]*[yz]mm)[^\n]*" first "${code}")
  if(first)
    message(FATAL_ERROR "${FILE} has aligned 256- or 512-bit moves to or from memory, such as: ${first}")
  endif()
endif()
