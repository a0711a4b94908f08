#include "file_paths.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace rastrex {

bool isPathSeparator(QChar c)
{
    return c == u'/' || c == u'\\';
}

bool endsWithPathSeparator(const QString& path)
{
    return !path.isEmpty() && isPathSeparator(path.back());
}

qsizetype lastPathSeparator(const QString& path)
{
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

bool opensAsRegularFile(const QString& path)
{
    if (path.contains(QChar(u'\0')) || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

}  // namespace rastrex
