// Why a file could not be opened or written, in the terms a user can act
// on, from the system's own error (errno, or on Windows the last error).
// The one list of such failures: adding one means a row in the mapping
// (file_failure.cpp) and a text in the English table (conv/dump_texts.cpp)
// and the window's Japanese one (app/logic/single_conversion.cpp), whose
// switches name every kind and so do not build without it.
#pragma once

#include <string>

namespace rastrex {

enum class FileFailure {
    None,            // no failure: the file opened (for reading, a regular file)
    NoSpace,         // the disk is full
    Quota,           // the user's share of the disk is used up
    NoPermission,    // the user may not read or write there
    ReadOnlyDisk,    // the file system or medium takes no writes
    ReadOnlyFile,    // the file is marked read-only
    InUse,           // another program holds the file without sharing it
    NotFound,        // the file, or a folder on its way, does not exist
    FolderInTheWay,  // a folder stands where the file should be
    NotAFile,        // a pipe or a device stands where a file was to be read
    Other,           // anything else: the system's own words tell it
};

// A failed step: its kind, and the system's error for the words of Other.
struct SystemFailure {
    FileFailure kind = FileFailure::None;
    int error = 0;
};

// The calling thread's last error (errno, or GetLastError on Windows), as
// it stands right after a failed call.
SystemFailure lastSystemFailure();

// What `error` (errno, or a Windows error code) means for a user.
FileFailure classifySystemError(int error);

// The system's own words for `error`, in English where the system has them
// (`english`) or else in the user's language; without a line end.
std::string systemErrorText(int error, bool english);

}  // namespace rastrex
