// doMain: converts one dump chosen in the window, with the checks and
// questions the user expects around it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "controls.h"
#include "header_refusal.h"
#include "services.h"

namespace rastrex {

// What the window lends a conversion: its message boxes and services, the
// main window's handle for the shell's dialogs, and the current values of
// the option boxes "confirm overwrite" (Check1) and "delete after
// conversion" (Check3).
struct ConversionContext {
    MessageBoxes& boxes;
    AppServices services;
    NativeHandle owner;
    std::function<int()> confirmOverwrite;  // Check1's value
    std::function<int()> deleteAfterwards;  // Check3's value
};

enum class ConversionOutcome {
    Converted,       // the bitmap was written (and the source moved if asked)
    Incomplete,      // the dump ends early: its bitmap, partly black, was
                     // written; reported, source kept
    Declined,        // the user declined to overwrite; nothing changed
    SourceMissing,   // the source is gone or could not be opened; reported
    Failed,          // the library returned an error, or the dump holds too
                     // little to convert; reported, source kept
    LibraryMissing,  // the library could not be bound; reported; stop the batch
};

// What the user is told when the dump `path` cannot be opened: that it is
// gone only when it is, otherwise why it does not open.
std::string cannotOpenText(const std::string& path, const SystemFailure& cause);

// What the user is told when a conversion of `path` failed: the path, the
// fixed phrase, then `reason`.
std::string conversionFailedText(const std::string& path, const std::string& reason);

// Why the library's result `code` gave no bitmap, in the window's words:
// the system's reason `cause` for a file that did not open or was not
// written, the header's `refusal` for a dump it refuses. Empty for RASTREX_OK.
std::string conversionFailureReason(std::int32_t code, const SystemFailure& cause,
                                    const HeaderRefusal& refusal);

struct DumpProbe;

// What the user is told of a dump that holds so little of its pixels that
// it is not converted, and of one whose bitmap is black where it ends.
std::string mostlyMissingText(const std::string& path, const DumpProbe& probe);
std::string endsEarlyText(const std::string& path, const DumpProbe& probe);

// Converts the dump at `path` (a full path).
ConversionOutcome doMain(std::string path, ConversionContext& context);

}  // namespace rastrex
