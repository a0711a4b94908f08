// Paths the window's commands build from what the panes show. Folders are
// written with "/" as Qt writes them on every platform.
#pragma once

#include <QString>

namespace rastrex {

// The folder prefix of a list item: the folder with one "/" at its end,
// none added when it already ends in one (a volume's root, "/" or "C:/").
QString folderPrefix(const QString& folder);

// The folder the panes move to for a dropped path on the volume whose root
// is `volumeRoot`: the text before the path's last "/" (a dropped folder
// counts as an item of its parent), or the volume's root itself when that
// text is shorter than the root. Empty when the path lies on no volume or
// holds no "/".
QString dropFolderFor(const QString& droppedPath, const QString& volumeRoot);

}  // namespace rastrex
