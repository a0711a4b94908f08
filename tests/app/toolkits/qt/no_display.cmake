# Runs the program with no display at all: it must say so in one plain
# sentence naming xvfb-run with the program's own path, print nothing else,
# and fail.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM ${PROGRAM}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
if(rc EQUAL 0)
  message(FATAL_ERROR "exited with 0 without a display")
endif()
if(NOT out STREQUAL "")
  message(FATAL_ERROR "wrote to standard output: ${out}")
endif()
string(REGEX MATCHALL "\n" lines "${err}")
list(LENGTH lines count)
# The command it suggests names the program where it is, not on PATH.
file(REAL_PATH "${PROGRAM}" program)
string(FIND "${err}" "xvfb-run -a ${program}\n" at)
if(NOT count EQUAL 1 OR at EQUAL -1 OR err MATCHES "plugin")
  message(FATAL_ERROR "unexpected message: ${err}")
endif()
