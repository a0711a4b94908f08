#include "file_paths.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rastrex {

bool isPathSeparator(QChar c)
{
    return c == u'/';
}

bool endsWithPathSeparator(const QString& path)
{
    return path.endsWith(u'/');
}

qsizetype lastPathSeparator(const QString& path)
{
    return path.lastIndexOf(u'/');
}

bool opensAsRegularFile(const QString& path)
{
    // A zero character would cut the path short at the open call.
    if (path.contains(QChar(u'\0')))
        return false;
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK keeps a named pipe from holding the open until a writer comes.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

}  // namespace rastrex
