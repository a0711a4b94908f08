// The freedesktop.org trash on Linux, through QFile::moveToTrash, with the
// checks Qt 6.4 leaves to its caller.
#pragma once

#include <QString>

#include "trash.h"

namespace rastrex {

// True when `pathInTrash`, the place QFile::moveToTrash says it moved a file
// to, lies in a real trash folder: an absolute path through "Trash/files/"
// (the home trash) or through a ".Trash" folder of a volume's top directory.
// Qt 6.4 reports success with a relative path when it found no trash at all.
bool isRealTrashPath(const QString& pathInTrash);

// The home trash: "Trash" in the user's data folder ($XDG_DATA_HOME, or
// ~/.local/share), with its "files" and "info" folders.
QString homeTrashPath();

// Creates whatever is missing of the home trash at `trash` and of the folders
// above it, each with mode 0700 as the freedesktop.org trash and base
// directory specifications ask; folders that exist are left as they are.
// True when all three folders are there afterwards.
bool makeHomeTrash(const QString& trash);

class LinuxTrash final : public Trash {
public:
    Outcome moveToTrash(const QString& path) override;
};

}  // namespace rastrex
