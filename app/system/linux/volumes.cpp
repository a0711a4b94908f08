#include "volumes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace rastrex {

namespace {

// File systems that hold no files of the user's: kernel interfaces, memory
// file systems, container layers and read-only package images.
const QSet<QString>& pseudoFileSystems()
{
    static const QSet<QString> types{
        "proc", "sysfs", "tmpfs", "devtmpfs", "devpts", "ramfs", "overlay",
        "squashfs", "cgroup", "cgroup2", "securityfs", "pstore", "debugfs",
        "tracefs", "bpf", "mqueue", "hugetlbfs", "configfs", "fusectl",
        "autofs", "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs",
        "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "nfsd", "none"};
    return types;
}

// Network file systems: real volumes whose source is not a local device.
const QSet<QString>& networkFileSystems()
{
    static const QSet<QString> types{"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p"};
    return types;
}

bool isUnder(const QString& path, const QString& folder)
{
    if (folder == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

// Folders of the system itself, where a user picks no pictures from; the
// desktop's removable media under /run/media are the exception.
bool isSystemFolder(const QString& mountPoint)
{
    static const QStringList folders{"/proc", "/sys", "/dev", "/run", "/boot", "/etc",
                                     "/snap", "/var/lib", "/var/snap", "/tmp"};
    if (isUnder(mountPoint, QStringLiteral("/run/media")))
        return false;
    for (const QString& folder : folders)
        if (isUnder(mountPoint, folder))
            return true;
    return false;
}

bool isRealVolume(const MountEntry& m)
{
    if (pseudoFileSystems().contains(m.fsType))
        return false;
    return m.source.startsWith(QLatin1String("/dev/")) || networkFileSystems().contains(m.fsType);
}

// Mount points escape blanks, tabs, newlines and backslashes as \ooo.
QString unescapeMountField(const QString& field)
{
    QString out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == QLatin1Char('\\') && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

// udev writes unsafe characters of a label as \xHH.
QString decodeUdevName(const QString& name)
{
    QByteArray out;
    const QByteArray in = name.toUtf8();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '\\' && i + 3 < in.size() && in[i + 1] == 'x') {
            bool ok = false;
            const int code = in.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        out.append(in[i]);
    }
    return QString::fromUtf8(out);
}

const MountEntry* deepestHolding(const QList<MountEntry>& mounts, const QString& path)
{
    const MountEntry* best = nullptr;
    for (const MountEntry& m : mounts)
        if (isUnder(path, m.mountPoint) && (!best || m.mountPoint.size() > best->mountPoint.size()))
            best = &m;
    return best;
}

}  // namespace

QList<MountEntry> parseMountInfo(const QString& text)
{
    // id parent major:minor root mount-point options [optional...] - type source super-options
    QList<MountEntry> out;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList f = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const qsizetype dash = f.indexOf(QStringLiteral("-"));
        if (dash < 6 || dash + 2 >= f.size())
            continue;
        MountEntry m;
        m.device = f[2];
        m.root = unescapeMountField(f[3]);
        m.mountPoint = unescapeMountField(f[4]);
        m.fsType = f[dash + 1];
        m.source = unescapeMountField(f[dash + 2]);
        if (!m.mountPoint.startsWith(QLatin1Char('/')))
            continue;
        out.append(m);
    }
    return out;
}

QList<Volume> filterVolumes(const QList<MountEntry>& mounts, const QString& home,
                            const QMap<QString, QString>& labels)
{
    QList<Volume> out;
    QSet<QString> roots;
    QSet<QString> devices;
    auto add = [&](const MountEntry& m) {
        if (roots.contains(m.mountPoint))
            return;
        roots.insert(m.mountPoint);
        devices.insert(m.device);
        out.append(Volume{m.mountPoint, labels.value(m.source)});
    };

    // "/" first, whatever it is (in a container it is often an overlay).
    MountEntry rootEntry{QString(), QStringLiteral("/"), QStringLiteral("/"), QString(), QString()};
    for (const MountEntry& m : mounts)
        if (m.mountPoint == QLatin1String("/"))
            rootEntry = m;  // the last mount on "/" is the one in effect
    add(rootEntry);

    // Then the volume of the user's home, where the user's own files live.
    if (const MountEntry* h = deepestHolding(mounts, home))
        add(*h);

    // Then every other real volume by mount point; a mount of the whole file
    // system wins over bind mounts of its folders on the same device.
    QList<MountEntry> rest;
    for (const MountEntry& m : mounts)
        if (isRealVolume(m) && !isSystemFolder(m.mountPoint))
            rest.append(m);
    std::stable_sort(rest.begin(), rest.end(), [](const MountEntry& a, const MountEntry& b) {
        const bool wholeA = a.root == QLatin1String("/");
        const bool wholeB = b.root == QLatin1String("/");
        if (wholeA != wholeB)
            return wholeA;
        return a.mountPoint < b.mountPoint;
    });
    QList<MountEntry> chosen;
    for (const MountEntry& m : rest) {
        if (devices.contains(m.device) || roots.contains(m.mountPoint))
            continue;
        devices.insert(m.device);
        chosen.append(m);
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const MountEntry& a, const MountEntry& b) { return a.mountPoint < b.mountPoint; });
    for (const MountEntry& m : chosen)
        add(m);
    return out;
}

QList<Volume> systemVolumes()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    QString text;
    if (file.open(QIODevice::ReadOnly))
        text = QString::fromLocal8Bit(file.readAll());

    // Labels of the local devices, from the links udev keeps.
    QMap<QString, QString> labels;
    QDirIterator it(QStringLiteral("/dev/disk/by-label"), QDir::Files | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString device = it.fileInfo().canonicalFilePath();
        if (!device.isEmpty())
            labels.insert(device, decodeUdevName(it.fileName()));
    }
    return filterVolumes(parseMountInfo(text), QDir::homePath(), labels);
}

}  // namespace rastrex
