#include "write_refusal.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

namespace rastrex {

FileFailure refusalKind(FileFailure kind, int writeCheck)
{
#if defined(_WIN32)
    (void)writeCheck;
    return kind;
#else
    // EACCES: no write permission for this user; EPERM: the immutable or
    // append-only attribute.
    const bool fileRefuses = writeCheck == EACCES || writeCheck == EPERM;
    return kind == FileFailure::NoPermission && fileRefuses ? FileFailure::ReadOnlyFile : kind;
#endif
}

SystemFailure writeFailureAt(const SystemFailure& cause, const char* path)
{
#if defined(_WIN32)
    (void)path;
    return cause;
#else
    if (cause.kind != FileFailure::NoPermission || path == nullptr)
        return cause;
    // Only a file of its own: a link is replaced, never written through.
    struct stat st {};
    if (::lstat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return cause;
    const int check = ::faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) == 0 ? 0 : errno;
    return {refusalKind(cause.kind, check), cause.error};
#endif
}

}  // namespace rastrex
