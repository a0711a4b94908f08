// xwd2bmp's streams: the PATH list of --files-from, and a dump converted for
// standard output, read from standard input or any file.
#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "conversion.h"
#include "options.h"
#include "shown_name.h"

namespace rastrex::cli {

// Reads a list of PATHs to its end and appends them to `options.paths`
// (see decodePathList). False when the list cannot be read, with the
// system's reason in `cause`.
bool readPathList(std::istream& list, Options& options, std::string& cause);

// The process's standard input, read straight from its descriptor: a read
// that fails throws its cause (std::system_error), where std::cin, through
// the C library, takes an I/O error for the end of the input.
std::istream& standardInput();
// A dump converted for standard output.
struct StreamOutcome {
    Conversion conversion;  // of the dump's copy into the temporary folder
    std::string failure;    // set when a step around the conversion failed
};

// Converts `dump` ("-": the dump on `in`) into a private temporary folder
// and only then copies the bitmap to `out`, so that nothing reaches it
// unless the whole bitmap does. A dump that is not a regular file (a pipe,
// standard input) is first copied there too: the library then reads it by
// offset, never holding the whole picture. `binary` is called before `in`
// is read or `out` written.
StreamOutcome convertForStream(const std::string& dump, std::istream* in, std::ostream& out,
                               const std::function<void()>& binary);

}  // namespace rastrex::cli
