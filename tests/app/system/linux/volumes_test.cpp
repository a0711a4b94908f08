// The drive list's volumes, chosen from a fixed mount table.
#include <gtest/gtest.h>

#include "volumes.h"

#include <map>
#include <string>
#include <vector>

namespace rastrex {
namespace {

// A desktop machine: a root disk, a separate /home, a USB stick, a network
// share, the usual pseudo file systems, a snap image, a bind mount of a
// folder of /home and the bind mounts a container makes for /etc files.
const char* const kMountInfo =
    "22 1 0:21 / /proc rw,relatime - proc proc rw\n"
    "23 1 0:22 / /sys rw,relatime - sysfs sysfs rw\n"
    "24 1 0:6 / /dev rw,relatime - devtmpfs devtmpfs rw\n"
    "25 24 0:23 / /dev/shm rw - tmpfs tmpfs rw\n"
    "26 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
    "27 26 0:25 / /run rw - tmpfs tmpfs rw\n"
    "28 26 8:2 / /home rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "29 23 0:29 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "30 26 7:0 / /snap/core/123 ro - squashfs /dev/loop0 ro\n"
    "31 27 8:17 / /run/media/user/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
    "32 26 0:40 / /mnt/share rw - nfs4 server:/export rw\n"
    "33 26 8:2 /user/pictures /srv/pictures rw - ext4 /dev/sda2 rw\n"
    "34 26 8:1 /boot-files /boot rw - ext4 /dev/sda1 rw\n"
    "35 26 8:3 / /boot/efi rw - vfat /dev/sda3 rw\n"
    "36 26 0:50 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
    "37 26 8:1 /var/lib/c/hosts /etc/hosts rw - ext4 /dev/sda1 rw\n"
    "38 26 0:33 / /tmp rw - tmpfs tmpfs rw\n"
    "39 26 8:4 / /data rw - xfs /dev/sda4 rw\n"
    "40 26 8:5 /exports/work /work rw - ext4 /dev/sda5 rw\n"
    "41 26 8:5 /exports/other /work2 rw - ext4 /dev/sda5 rw\n"
    "garbage line\n"
    "42 26 8:6 / relative rw - ext4 /dev/sda6 rw\n";

TEST(VolumesTest, ParsesTheMountTable)
{
    const std::vector<MountEntry> mounts = parseMountInfo(kMountInfo);
    ASSERT_EQ(mounts.size(), 20);  // the two bad lines are skipped
    const MountEntry& stick = mounts[9];
    EXPECT_EQ(stick.mountPoint, std::string("/run/media/user/MY STICK"));
    EXPECT_EQ(stick.fsType, std::string("vfat"));
    EXPECT_EQ(stick.source, std::string("/dev/sdb1"));
    EXPECT_EQ(stick.device, std::string("8:17"));
    EXPECT_EQ(mounts[11].root, std::string("/user/pictures"));
}

TEST(VolumesTest, OffersRootAndHomeFirstThenTheRealVolumesByMountPoint)
{
    const std::map<std::string, std::string> labels{{"/dev/sdb1", "MY STICK"}, {"/dev/sda4", "data"}};
    const std::vector<Volume> volumes = filterVolumes(parseMountInfo(kMountInfo), "/home/user", labels);
    const std::vector<Volume> expected{
        {"/", ""},
        {"/home", ""},
        {"/data", "data"},
        {"/mnt/share", ""},
        {"/run/media/user/MY STICK", "MY STICK"},
        {"/work", ""},  // the first bind of a device no whole mount shows
    };
    EXPECT_EQ(volumes, expected);
}

TEST(VolumesTest, RootComesFirstEvenWhenItIsAContainerLayer)
{
    const char* const container =
        "100 1 0:60 / / rw - overlay overlay rw\n"
        "101 100 0:61 / /proc rw - proc proc rw\n"
        "102 100 254:0 /host/work /work rw - ext4 /dev/vda rw\n";
    const std::vector<Volume> volumes = filterVolumes(parseMountInfo(container), "/root");
    EXPECT_EQ(volumes, (std::vector<Volume>{{"/", ""}, {"/work", ""}}));
    // An empty table still offers the root.
    EXPECT_EQ(filterVolumes({}, "/root"), (std::vector<Volume>{{"/", ""}}));
}

}  // namespace
}  // namespace rastrex
