// doMain: converts one dump chosen in the window, with the checks and
// questions the user expects around it.
#pragma once

#include <QString>
#include <functional>

#include "converter_library.h"
#include "dialogs.h"
#include "trash.h"

namespace rastrex {

// What the window lends a conversion: its message boxes, the library, the
// trash, and the current values (0 off, 1 on, 2 greyed) of the two option
// boxes "confirm overwrite" (Check1) and "delete after conversion" (Check3).
struct ConversionContext {
    Dialogs& dialogs;
    ConverterLibrary& library;
    Trash& trash;
    std::function<int()> confirmOverwrite;   // Check1's value
    std::function<int()> deleteAfterwards;   // Check3's value
};

enum class ConversionOutcome {
    Converted,       // the bitmap was written (and the source moved if asked)
    Declined,        // the user declined to overwrite; nothing changed
    SourceMissing,   // the source could not be opened; reported
    Failed,          // the library returned an error; reported, source kept
    LibraryMissing,  // the library could not be bound; reported; stop the batch
};

// The bitmap's path for a dump's path (the extension of the file name replaced).
QString bmpPathFor(const QString& xwdPath);

// Converts the dump at `path` (a full path).
ConversionOutcome doMain(QString path, ConversionContext& context);

}  // namespace rastrex
