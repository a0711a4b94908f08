#include "pane_paths.h"

#include <algorithm>

namespace rastrex {

namespace {

bool endsWithSeparator(const QString& path)
{
#if defined(_WIN32)
    return path.endsWith(u'/') || path.endsWith(u'\\');
#else
    return path.endsWith(u'/');
#endif
}

qsizetype lastSeparator(const QString& path)
{
#if defined(_WIN32)
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
#else
    return path.lastIndexOf(u'/');
#endif
}

}  // namespace

QString folderPrefix(const QString& folder)
{
    return endsWithSeparator(folder) ? folder : folder + u'/';
}

QString dropFolderFor(const QString& droppedPath, const QString& volumeRoot)
{
    if (volumeRoot.isEmpty())
        return {};
    QString path = droppedPath;
    // "/data/shots/" names the folder shots, an item of /data.
    if (path.size() > 1 && endsWithSeparator(path))
        path.chop(1);
    const qsizetype sep = lastSeparator(path);
    if (sep < 0)
        return {};
    const QString folder = path.left(sep);
    // "/a.xwd" gives "", "C:/a.xwd" gives "C:": the volume's root.
    QString root = volumeRoot;
    if (root.size() > 1 && endsWithSeparator(root))
        root.chop(1);
    return folder.size() < root.size() ? volumeRoot : folder;
}

}  // namespace rastrex
