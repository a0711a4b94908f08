// A refused replacement told by the file that refused it: a read-only
// bitmap is no folder the user may not write.
#include <gtest/gtest.h>

#include <cerrno>

#include "write_refusal.h"

namespace {

using rastrex::FileFailure;

struct RefusalCase {
    FileFailure kind;  // what the failed write's error says
    int writeCheck;    // what checking the file for writing gives
    FileFailure told;  // on POSIX; Windows tells the first as it is
};

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, IsToldByTheFile)
{
    const RefusalCase& c = GetParam();
#if defined(_WIN32)
    EXPECT_EQ(rastrex::refusalKind(c.kind, c.writeCheck), c.kind);
#else
    EXPECT_EQ(rastrex::refusalKind(c.kind, c.writeCheck), c.told);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refusal,
    ::testing::Values(
        // Mode 0444 for a user; chattr +i for anyone.
        RefusalCase{FileFailure::NoPermission, EACCES, FileFailure::ReadOnlyFile},
        RefusalCase{FileFailure::NoPermission, EPERM, FileFailure::ReadOnlyFile},
        // The file may be written: the folder refused.
        RefusalCase{FileFailure::NoPermission, 0, FileFailure::NoPermission},
        RefusalCase{FileFailure::NoPermission, ENOENT, FileFailure::NoPermission},
        RefusalCase{FileFailure::NoPermission, EROFS, FileFailure::NoPermission},
        // Other failures are what they are, whatever the file says.
        RefusalCase{FileFailure::NoSpace, EACCES, FileFailure::NoSpace},
        RefusalCase{FileFailure::Other, EPERM, FileFailure::Other}),
    [](const auto& row) { return "row" + std::to_string(row.index); });

}  // namespace
