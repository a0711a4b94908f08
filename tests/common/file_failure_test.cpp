#include <gtest/gtest.h>

#include <cerrno>

#include "file_failure.h"

namespace {

using rastrex::FileFailure;

#if !defined(_WIN32)
// What each error of an open or a write means for the user.
TEST(ClassifySystemError, GivesEachErrorItsKind)
{
    const std::pair<int, FileFailure> cases[] = {
        {0, FileFailure::None},
        {EACCES, FileFailure::NoPermission},
        {EPERM, FileFailure::NoPermission},
        {ENOSPC, FileFailure::NoSpace},
        {EDQUOT, FileFailure::Quota},
        {EBUSY, FileFailure::InUse},
        {ETXTBSY, FileFailure::InUse},
        {EROFS, FileFailure::ReadOnlyDisk},
        {ENOENT, FileFailure::NotFound},
        {ENOTDIR, FileFailure::NotFound},
        {EISDIR, FileFailure::FolderInTheWay},
        {ENXIO, FileFailure::NotAFile},
        {EIO, FileFailure::Other},
    };
    for (const auto& [error, kind] : cases) {
        EXPECT_EQ(rastrex::classifySystemError(error), kind) << error;
        errno = error;
        const rastrex::SystemFailure last = rastrex::lastSystemFailure();
        EXPECT_EQ(last.kind, kind) << error;
        EXPECT_EQ(last.error, error);
    }
}
#endif

}  // namespace
