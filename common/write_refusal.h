// Why an existing file refused to be replaced: the system says only
// "permission denied" (EACCES, EPERM) both for a folder the user may not
// write and for a file that is itself read-only, by its permission bits or
// its immutable attribute (chattr +i). Only the file tells which.
#pragma once

#include "file_failure.h"

namespace rastrex {

// `cause`, the failure of a write to `path`, with a refusal that comes
// from the file at `path` itself told as a read-only file. On Windows the
// library tells a read-only file itself, and `cause` is returned as it is.
SystemFailure writeFailureAt(const SystemFailure& cause, const char* path);

// The kind of a failed write, given what checking the file at its path for
// writing gave: 0 when it may be written, else the system's error (ENOENT
// when there is no file). A refusal that the file gives too comes from it.
FileFailure refusalKind(FileFailure kind, int writeCheck);

}  // namespace rastrex
