// The command line of xwd2bmp: what it asks for, and how it is read.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace rastrex::cli {

// The program's name, as its messages begin.
inline constexpr const char* kProgram = "xwd2bmp";

// The program's exit status.
enum class ExitStatus : int {
    // Every dump was converted, or skipped with --no-clobber.
    Success = 0,
    // At least one dump could not be converted.
    Failure = 1,
    // The command line is wrong.
    Usage = 2,
};

// More threads than this gain nothing: each holds a whole dump in memory, and
// the machine's disks are the limit long before.
inline constexpr unsigned kMaxJobs = 256;

// How the bytes of a --files-from list are read (see path_list.h).
enum class ListEncoding { Detect, Utf8, Utf16, Cp932 };

struct Options {
    std::vector<std::string> paths;  // dumps and folders, in the order given
    // Names from --files-from that can name no file, by their index into
    // `paths` in increasing order, and why: a name holding a NUL character,
    // one the system's code page cannot spell (Windows only).
    std::vector<std::pair<std::size_t, std::string>> refused;
    std::optional<std::string> outputDir;
    // --files-from: a file of PATHs, "-" for standard input.
    std::optional<std::string> filesFrom;
    bool nulSeparated = false;  // -0: the list's PATHs end in NUL, not a line end
    ListEncoding listEncoding = ListEncoding::Detect;  // --list-encoding
    bool fromStdin = false;     // the PATH "-": one dump on standard input
    bool toStdout = false;      // -c, or the PATH "-": the bitmap goes to standard output
    unsigned jobs = 1;
    bool recursive = false;
    bool noClobber = false;
    bool quiet = false;
    bool verbose = false;
};

// What reading the command line came to: options to run with, or an exit
// status when --help, --version or a usage error has already been handled.
struct ParseOutcome {
    std::optional<Options> options;
    ExitStatus status = ExitStatus::Success;
};

// The number of files converted at once when -j is not given.
unsigned defaultJobs();

// Reads the command line. --help and --version print to `out`; a usage error
// prints its message and a hint to `err`.
ParseOutcome parseCommandLine(int argc, const char* const* argv, std::ostream& out,
                              std::ostream& err);

}  // namespace rastrex::cli
