// The machine's own services for the window's logic on this platform: the
// conversion library found where the program is installed, the desktop's
// trash and the file system.
#pragma once

#include "services.h"

namespace rastrex {

ConverterLibrary& systemConverterLibrary();
RecycleBin& systemRecycleBin();
FileSystem& systemFileSystem();

// All three, for the main window.
AppServices systemServices();

}  // namespace rastrex
