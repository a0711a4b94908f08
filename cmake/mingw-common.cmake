# Shared by the mingw-w64 toolchain files: RASTREX_MINGW_TRIPLE names the
# target (i686-w64-mingw32 or x86_64-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${RASTREX_MINGW_TRIPLE}")

set(CMAKE_C_COMPILER ${RASTREX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RASTREX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${RASTREX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${RASTREX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC, C++ and thread runtimes are linked in, so the programs and the
# library need no DLL that a fresh Windows lacks.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Tests run under Wine, headless, in a private prefix (see wine-run.sh.in).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
