// The volumes the drive list offers, read from the kernel's mount table.
#pragma once

#include <QList>
#include <QMap>
#include <QString>

namespace rastrex {

// One line of the kernel's mount table (/proc/self/mountinfo).
struct MountEntry {
    QString device;      // major:minor of the mounted device
    QString root;        // the folder of the device's file system mounted here
    QString mountPoint;  // where it is mounted
    QString fsType;
    QString source;      // e.g. /dev/sda1
};

// A volume of the drive list: its root path and its label (may be empty).
struct Volume {
    QString root;
    QString label;
    bool operator==(const Volume&) const = default;
};

// Reads the text of /proc/self/mountinfo; lines it cannot read are skipped.
QList<MountEntry> parseMountInfo(const QString& text);

// The volumes a user would pick from, in order: "/" first, then the volume
// holding `home`, then the other real disk, removable and network volumes by
// mount point. Pseudo file systems, system folders and bind mounts of a
// device that is already listed are left out. `labels` maps a source device
// (e.g. /dev/sdb1) to its label.
QList<Volume> filterVolumes(const QList<MountEntry>& mounts, const QString& home,
                            const QMap<QString, QString>& labels = {});

// The machine's volumes now, as filterVolumes gives them.
QList<Volume> systemVolumes();

}  // namespace rastrex
