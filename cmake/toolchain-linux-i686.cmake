# Builds for 32-bit x86 Linux with the host's GCC (-m32, Debian's
# g++-multilib), so that the library's and xwd2bmp's 32-bit code (the
# SSSE3 row paths, sizes with a 32-bit size_t) is tested as a plain Linux
# program: natively where the kernel runs 32-bit code, otherwise through
# RASTREX_I686_EMULATOR (qemu-i386-static).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
if(RASTREX_I686_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${RASTREX_I686_EMULATOR})
endif()
