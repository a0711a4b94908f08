// The machine's own services for the window's logic on this platform: the
// conversion library found where the program is installed, the desktop's
// trash and the file system.
#pragma once

#include <string>

#include "services.h"

namespace rastrex {

// The library is looked for from `programFolder`, the folder holding the
// program (see library_location.h); the first call decides.
ConverterLibrary& systemConverterLibrary(const std::string& programFolder);
RecycleBin& systemRecycleBin();
FileSystem& systemFileSystem();

// All three, for the main window.
AppServices systemServices(const std::string& programFolder);

}  // namespace rastrex
