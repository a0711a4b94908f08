// How this platform separates folders in a path, and how a file is opened to
// learn whether it can be read.
#pragma once

#include <QString>

namespace rastrex {

// Whether `c` ends a folder part of a path ("/"; on Windows "\" too).
bool isPathSeparator(QChar c);

// Whether `path` ends in a separator.
bool endsWithPathSeparator(const QString& path);

// The index of the last separator in `path`, or -1 when it holds none.
qsizetype lastPathSeparator(const QString& path);

// Opens `path` for reading and tells whether it is a regular file, closing
// what it opened. A named pipe never holds the open; every failure is false.
bool opensAsRegularFile(const QString& path);

}  // namespace rastrex
