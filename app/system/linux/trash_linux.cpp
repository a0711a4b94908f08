#include "linux_trash.h"

#include <sys/stat.h>

#include <cerrno>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace rastrex {

bool isRealTrashPath(const QString& pathInTrash)
{
    if (pathInTrash.isEmpty() || !QDir::isAbsolutePath(pathInTrash))
        return false;
    const QString clean = QDir::cleanPath(pathInTrash);
    if (clean.contains(QLatin1String("/Trash/files/")))
        return true;
    // <top>/.Trash/<uid>/files/<name> or <top>/.Trash-<uid>/files/<name>
    const qsizetype dot = clean.indexOf(QLatin1String("/.Trash"));
    return dot >= 0 && clean.indexOf(QLatin1String("/files/"), dot) > dot;
}

namespace {

// Only the owner may see what is in the trash and the folders made for it.
constexpr mode_t kPrivateFolderMode = S_IRWXU;

// Makes one folder unless a folder is there already.
bool makeFolder(const QByteArray& path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return errno == ENOENT && ::mkdir(path.constData(), kPrivateFolderMode) == 0;
}

}  // namespace

QString homeTrashPath()
{
    // The data folder Qt's own trash code takes, so both agree.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Trash");
}

bool makeHomeTrash(const QString& trash)
{
    const QString clean = QDir::cleanPath(trash);
    if (!QDir::isAbsolutePath(clean))
        return false;
    const QByteArray path = QFile::encodeName(clean);
    struct stat st {};
    if (::stat((path + "/files").constData(), &st) == 0 &&
        ::stat((path + "/info").constData(), &st) == 0)
        return true;
    // Each folder from the root down, so missing parents come first.
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        if (!makeFolder(path.left(slash)))
            return false;
    return makeFolder(path) && makeFolder(path + "/files") && makeFolder(path + "/info");
}

namespace {

// Whether anything, a dangling link included, is at `path`.
bool somethingAt(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

}  // namespace

Trash::Outcome LinuxTrash::moveToTrash(const QString& path)
{
    Outcome out;
    const QFileInfo info(path);
    if (!somethingAt(path)) {
        out.reason = QStringLiteral("ファイルが見つかりません。");
        return out;
    }
    if (info.isDir() && !info.isSymLink()) {
        out.reason = QStringLiteral("フォルダーはごみ箱に移動できません。");
        return out;
    }

    // Qt 6.4 without any trash folder moves the file into "files" under the
    // current folder (and its record into "info"); note what is there now,
    // to take back only what it made.
    const QDir current = QDir::current();
    const bool hadFiles = current.exists(QStringLiteral("files"));
    const bool hadInfo = current.exists(QStringLiteral("info"));

    // A new account has no trash yet, and Qt makes only the last folder of
    // it, not its missing parents. A file on another volume may still go to
    // that volume's own trash, so a failure here is not the end.
    makeHomeTrash(homeTrashPath());

    QString pathInTrash;
    if (!QFile::moveToTrash(path, &pathInTrash)) {
        // Qt finds no trash it can use on the file's volume, and a rename
        // into the home trash cannot cross volumes: the file stays.
        out.reason = QStringLiteral("このファイルのあるボリュームに使えるごみ箱がありません。");
        return out;
    }
    if (isRealTrashPath(pathInTrash) && somethingAt(pathInTrash) && !somethingAt(path)) {
        out.moved = true;
        return out;
    }

    // Qt said yes without reaching a real trash folder. Put the file back
    // where it was, if it left at all.
    out.reason = QStringLiteral("ごみ箱が見つかりません。");
    if (!somethingAt(path) && !pathInTrash.isEmpty() && somethingAt(pathInTrash)) {
        const QFileInfo moved(pathInTrash);
        if (!QFile::rename(moved.absoluteFilePath(), path)) {
            out.reason += QStringLiteral("\rファイルは次の場所にあります: ") + moved.absoluteFilePath();
            return out;
        }
        QFile::remove(moved.dir().absoluteFilePath(QStringLiteral("../info/") + moved.fileName() +
                                                   QStringLiteral(".trashinfo")));
    }
    if (!hadFiles)
        current.rmdir(QStringLiteral("files"));  // only when empty
    if (!hadInfo)
        current.rmdir(QStringLiteral("info"));
    return out;
}

Trash& systemTrash()
{
    static LinuxTrash trash;
    return trash;
}

}  // namespace rastrex
