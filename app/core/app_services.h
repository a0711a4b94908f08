// What the main window is given to work with: its message boxes, the
// conversion library and the trash. main() passes the real ones; tests pass
// scripted ones.
#pragma once

#include "converter_library.h"
#include "dialogs.h"
#include "trash.h"

namespace rastrex {

struct AppServices {
    Dialogs& dialogs;
    ConverterLibrary& library;
    Trash& trash;
};

}  // namespace rastrex
