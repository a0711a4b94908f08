# Fails unless the Windows module FILE needs no DLL but the system's own (and
# ALLOW, shipped beside it) and, with EXPORT set, exports that one name and
# nothing else.
# Usage: cmake -DOBJDUMP=... -DFILE=... [-DALLOW=dll] [-DEXPORT=name] -P check_pe.cmake
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
  string(REGEX MATCHALL "\\] [^\n]+" entries "${CMAKE_MATCH_1}")
  set(names "")
  foreach(e IN LISTS entries)
    string(REGEX REPLACE "^\\] " "" name "${e}")
    list(APPEND names "${name}")
  endforeach()
  if(NOT names STREQUAL EXPORT)
    message(FATAL_ERROR "${FILE} exports: '${names}', not '${EXPORT}' alone")
  endif()
  message(STATUS "exports: ${names}")
endif()
