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

namespace rastrex::cli {

// Appends the PATHs of a list to `options.paths`: one a line, or with
// `options.nulSeparated` each ending in a NUL character. Empty entries are
// skipped; a line end may be CR LF on Windows and in a UTF-16 list. The
// names are UTF-8, after a byte-order mark if there is one, or UTF-16 after
// its mark; on Windows a list that is not UTF-8 is in the console's code
// page, as cmd writes it. They are spelled in the system's code page. False
// when the list cannot be read.
bool readPathList(std::istream& list, Options& options);

// The process's standard input, read straight from its descriptor: a read
// that fails throws its cause (std::system_error), where std::cin, through
// the C library, takes an I/O error for the end of the input.
std::istream& standardInput();
// `name` for a message, on one readable line: control characters (a NUL, a
// line end, an escape) and, where names are UTF-8, bytes that are no UTF-8
// character are shown as \xNN.
std::string shownName(std::string_view name);

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
