// Where the window program looks for the conversion library.
#pragma once

#include <QString>
#include <QStringList>

namespace rastrex {

// The library's file name, as the user is told it.
QString conversionLibraryFileName();

// The places to load it from, in order: the full path beside the executable
// first, then (where the build names one) the installed library folder
// relative to the executable's, then the bare file name for the system
// loader's own search.
QStringList conversionLibraryCandidates();

}  // namespace rastrex
