#include "file_uti.h"

#include <QFile>
#include <QFileInfo>

#if defined(_WIN32)
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rastrex::FileUti {

namespace {

#if defined(_WIN32)
constexpr QChar kTrailingSeparator = u'\\';
#else
constexpr QChar kTrailingSeparator = u'/';
#endif

// Opens `path` for reading and tells whether it is a regular file, closing
// what it opened. Every failure is false.
bool opensAsRegularFile(const QString& path)
{
    // A zero character would cut the path short at the open call.
    if (path.contains(QChar(u'\0')))
        return false;
#if defined(_WIN32)
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
#else
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK keeps a named pipe from holding the open until a writer comes.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
#endif
}

}  // namespace

bool FileExists(QString& path)
{
    if (path.isEmpty())
        return false;
    if (path.endsWith(kTrailingSeparator))
        path.chop(1);
    return opensAsRegularFile(path);
}

std::int32_t MoveToRecycleBin(const QString& path, Dialogs& dialogs, Trash& trash)
{
#if !defined(_WIN32)
    // On Windows the shell asks this question itself.
    if (dialogs.ask(path + QStringLiteral(" を\rごみ箱に移動するよ？")) != Dialogs::Answer::Yes)
        return kMoveDeclined;
#endif
    const Trash::Outcome outcome = trash.moveToTrash(path);
    if (outcome.moved)
        return kMovedToTrash;
    if (!outcome.reason.isEmpty())
        dialogs.report(path + QStringLiteral(" を\rごみ箱に移動できなかったぞ。\r") + outcome.reason);
    return kMoveFailed;
}

}  // namespace rastrex::FileUti
