/* rastrex: X Window dump (XWD) to 24-bit Windows bitmap (BMP) conversion.
 *
 * The library exports exactly one routine, fnRastrex. It reads one dump and
 * writes one bitmap within a single call and keeps no state between calls,
 * so calls on different files may run on several threads at once. */
#ifndef RASTREX_H
#define RASTREX_H

#include <stdint.h>

#if defined(_WIN32)
#  define RASTREX_CALL __stdcall
#  if defined(RASTREX_BUILDING)
#    define RASTREX_API __declspec(dllexport)
#  else
#    define RASTREX_API __declspec(dllimport)
#  endif
#else
#  define RASTREX_CALL
#  if defined(RASTREX_BUILDING)
#    define RASTREX_API __attribute__((visibility("default")))
#  else
#    define RASTREX_API
#  endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* What fnRastrex returns. No other value is ever returned; 1 is unused. */
enum RastrexResult {
    /* The bitmap was written completely. */
    RASTREX_OK = 0,
    /* The input file cannot be opened for reading (a folder never opens). */
    RASTREX_ERR_OPEN_INPUT = 2,
    /* The output file cannot be created, or writing, closing or putting it
       in place failed (a full disk, for instance); nothing of it is left. */
    RASTREX_ERR_WRITE_OUTPUT = 3,
    /* A read from the input delivered nothing: the header is shorter than
       100 bytes or its size field is less than 100, there is no byte of a
       window name the header announces, or not one whole pixel unit (of
       the first plane, in a dump stored plane by plane). */
    RASTREX_ERR_READ_INPUT = 4,
    /* The pixel block cannot be allocated, or the dimensions are too large
       for any block to hold them. */
    RASTREX_ERR_NO_MEMORY = 5
};

/* Converts the dump at xwd_path into a bitmap at bmp_path (created, or
 * replaced if it exists). Both are zero-terminated 8-bit paths; relative
 * paths are taken relative to the current directory. The bitmap is written
 * to a new file in its folder that takes bmp_path's place only once it is
 * complete, so on any result but RASTREX_OK whatever was at bmp_path is left
 * untouched; the two paths may name the same file, which then ends as the
 * bitmap. An existing bitmap keeps its permission bits; a symbolic link at
 * bmp_path is replaced, not followed; a device or pipe at bmp_path is
 * written in place.
 *
 * With RASTREX_ERR_OPEN_INPUT and RASTREX_ERR_WRITE_OUTPUT the routine
 * leaves the system's reason for the caller: errno, or on Windows the
 * calling thread's last error (GetLastError), holds the error of the step
 * that failed (no space, no permission, a read-only file system or file,
 * a file another program holds, a folder: EISDIR, on Windows
 * ERROR_DIRECTORY, ...), read right after the call. With the
 * other results both are unspecified. */
RASTREX_API int32_t RASTREX_CALL fnRastrex(const char* xwd_path, const char* bmp_path);

/* The routine's type, for callers that look it up at run time by name. */
typedef int32_t(RASTREX_CALL* RastrexFn)(const char* xwd_path, const char* bmp_path);

#ifdef __cplusplus
}
#endif

#endif
