// FileUti: the program's only test of whether a file is there, and its only
// way of deleting one (a move to the trash, after the user agreed).
#pragma once

#include <cstdint>
#include <string>

#include "controls.h"
#include "services.h"

namespace rastrex::FileUti {

// What MoveToRecycleBin returns: zero when the file was moved.
inline constexpr std::int32_t kMovedToTrash = 0;
inline constexpr std::int32_t kMoveDeclined = 1;  // the user answered No
inline constexpr std::int32_t kMoveFailed = 2;    // the trash refused it; reported

// What opening `path` for reading finds now (kind None: a regular file
// that opens). An empty path is NotFound and touches nothing. One trailing
// separator is removed from the caller's variable first.
SystemFailure ProbeFile(std::string& path, FileSystem& files);

// True when `path` names a regular file that can be opened for reading now
// (ProbeFile finds no failure); false otherwise.
bool FileExists(std::string& path, FileSystem& files);

// Moves the one file `path` to the trash after the user agreed (the
// platform's trash asks itself where it does so; otherwise a question box
// asks); shows any error in a report box unless the platform showed it.
std::int32_t MoveToRecycleBin(const std::string& path, MessageBoxes& boxes, RecycleBin& trash, NativeHandle owner);

}  // namespace rastrex::FileUti
