// The volumes the drive list offers, read from the kernel's mount table.
// Paths and labels are bytes, as the kernel and udev give them.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace rastrex {

// One line of the kernel's mount table (/proc/self/mountinfo).
struct MountEntry {
    std::string device;      // major:minor of the mounted device
    std::string root;        // the folder of the device's file system mounted here
    std::string mountPoint;  // where it is mounted
    std::string fsType;
    std::string source;      // e.g. /dev/sda1
};

// A volume of the drive list: its root path and its label (may be empty).
struct Volume {
    std::string root;
    std::string label;
    bool operator==(const Volume&) const = default;
};

// Reads the text of /proc/self/mountinfo; lines it cannot read are skipped.
std::vector<MountEntry> parseMountInfo(const std::string& text);

// The volumes a user would pick from, in order: "/" first, then the volume
// holding `home`, then the other real disk, removable and network volumes by
// mount point. Pseudo file systems, system folders and bind mounts of a
// device that is already listed are left out. `labels` maps a source device
// (e.g. /dev/sdb1) to its label.
std::vector<Volume> filterVolumes(const std::vector<MountEntry>& mounts, const std::string& home,
                                  const std::map<std::string, std::string>& labels = {});

// The machine's volumes now, as filterVolumes gives them.
std::vector<Volume> systemVolumes();

}  // namespace rastrex
