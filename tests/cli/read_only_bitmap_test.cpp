// A bitmap that is read-only of its own is told so by xwd2bmp (Linux: its
// mode, or its immutable attribute; Windows tells its attribute through
// the library and is tested there).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cli_support.h"

using namespace rastrex::test;

namespace {

// A bitmap that is read-only of its own (its mode, for a user; its
// immutable attribute, for root too) is told so, not as a folder the user
// may not write.
TEST(ReadOnlyBitmap, IsToldReadOnly)
{
    TempDir dir;
    makeDumps(dir.path(), {"a.xwd"});
    writeFile(dir / "a.bmp", {'o', 'l', 'd'});
    fs::permissions(dir / "a.bmp", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const int fd = ::open((dir / "a.bmp").c_str(), O_RDONLY);
    int flags = 0;
    const bool immutable = ::geteuid() == 0 && fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                           (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (::geteuid() == 0 && !immutable) {
        if (fd >= 0)
            ::close(fd);
        GTEST_SKIP() << "root writes a file of mode 0444, and this file system keeps no immutable attribute";
    }
    const Outcome o = runInProcess({nativePath(dir / "a.xwd")});
    if (immutable) {
        flags &= ~FS_IMMUTABLE_FL;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0)
        ::close(fd);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, spelled("@a.xwd: cannot write the bitmap @a.bmp: the file is read-only\n", dir.path()));
    EXPECT_EQ(readFile(dir / "a.bmp"), Bytes({'o', 'l', 'd'}));
}

}  // namespace
