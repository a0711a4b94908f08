#include "pane_paths.h"

#include "file_paths.h"

namespace rastrex {

QString folderPrefix(const QString& folder)
{
    return endsWithPathSeparator(folder) ? folder : folder + u'/';
}

QString dropFolderFor(const QString& droppedPath, const QString& volumeRoot)
{
    if (volumeRoot.isEmpty())
        return {};
    QString path = droppedPath;
    // "/data/shots/" names the folder shots, an item of /data.
    if (path.size() > 1 && endsWithPathSeparator(path))
        path.chop(1);
    const qsizetype sep = lastPathSeparator(path);
    if (sep < 0)
        return {};
    const QString folder = path.left(sep);
    // "/a.xwd" gives "", "C:/a.xwd" gives "C:": the volume's root.
    QString root = volumeRoot;
    if (root.size() > 1 && endsWithPathSeparator(root))
        root.chop(1);
    return folder.size() < root.size() ? volumeRoot : folder;
}

}  // namespace rastrex
