#include "system_error.h"

#include <cerrno>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace rastrex {

#if defined(_WIN32)

const int kBadPathError = ERROR_INVALID_PARAMETER;
const int kUnknownError = ERROR_GEN_FAILURE;

void clearSystemError()
{
    errno = 0;
    SetLastError(ERROR_SUCCESS);
}

int lastSystemError()
{
    const DWORD error = GetLastError();
    if (error != ERROR_SUCCESS)
        return static_cast<int>(error);
    // The C runtime sets errno alone where it found the failure itself.
    switch (errno) {
    case ENOSPC: return ERROR_DISK_FULL;
    case EACCES: return ERROR_ACCESS_DENIED;
    case ENOENT: return ERROR_PATH_NOT_FOUND;
    case EEXIST: return ERROR_FILE_EXISTS;
    default: return ERROR_GEN_FAILURE;
    }
}

void setSystemError(int error)
{
    SetLastError(static_cast<DWORD>(error));
}

#else

const int kBadPathError = EINVAL;
const int kUnknownError = EIO;

void clearSystemError()
{
    errno = 0;
}

int lastSystemError()
{
    return errno != 0 ? errno : EIO;
}

void setSystemError(int error)
{
    errno = error;
}

#endif

}  // namespace rastrex
