// FileUti: the program's only test of whether a file is there, and its only
// way of deleting one (a move to the trash, after a question to the user).
#pragma once

#include <QString>
#include <cstdint>

#include "dialogs.h"
#include "trash.h"

namespace rastrex::FileUti {

// What MoveToRecycleBin returns.
inline constexpr std::int32_t kMovedToTrash = 0;   // the file is in the trash
inline constexpr std::int32_t kMoveDeclined = 1;   // the user answered No
inline constexpr std::int32_t kMoveFailed = 2;     // the trash refused it; reported

// True when `path` names a regular file that can be opened for reading now.
// An empty path is false and touches nothing. One trailing separator is
// removed from the caller's variable first. Never fails: every error is false.
bool FileExists(QString& path);

// Moves the one file `path` to the trash after asking the user (owned by the
// main window through `dialogs`); shows any error in a report box. Returns 0
// when the file was moved, nonzero otherwise (declined, or the trash failed).
std::int32_t MoveToRecycleBin(const QString& path, Dialogs& dialogs, Trash& trash);

}  // namespace rastrex::FileUti
