// A batch of conversions: the dumps the command line names, where their
// bitmaps go, and the run that converts them on several threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "options.h"
#include "platform.h"

namespace rastrex::cli {

// One dump of the batch. Items keep the order of the command line, and
// within a folder the order of the names.
struct Item {
    // Note: a folder PATH that holds no dump; said on standard error, but
    // the run does not fail for it.
    enum class Action { Convert, Skip, Fail, Note };

    std::string dump;    // as the user named it, or the folder joined with its name
    std::string bitmap;  // where its bitmap goes
    std::uint64_t bytes = 0;  // size of the dump
    Action action = Action::Convert;
    std::string reason;  // why it fails, for Action::Fail; the note, for Action::Note
    FileId id{};         // the dump's file, once looked at
};

// Finds the dumps of every PATH and decides for each whether it is converted,
// skipped (--no-clobber) or failed before it starts: a PATH that cannot be
// read, a bitmap that another dump of the batch also writes, a bitmap path
// that names a dump of the batch, an output folder that cannot be created.
// The same dump named twice for the same bitmap is converted once.
std::vector<Item> planBatch(const Options& options);

// Whether a file name ends in .xwd, in any case: a folder's files so named
// are its dumps.
bool isDumpName(const std::string& name);

// Where the run reports. `terminalColumns` is the width of standard error
// when it is a terminal and a progress bar may be drawn there.
struct Reporting {
    std::ostream& out;
    std::ostream& err;
    std::optional<int> terminalColumns;
    // Set from outside (a signal) to start no further conversion.
    const std::atomic<bool>* stop = nullptr;
    // Standard input, for the PATH "-" and --files-from=-; none when null.
    std::istream* in = nullptr;
    // Whether `out` is a terminal, which is never sent a bitmap.
    bool outIsTerminal = false;
    // Called before a dump is read from `in` or a bitmap written to `out`:
    // puts both in binary mode where the system has a text mode.
    std::function<void()> binary{};
};

// Converts the items on `options.jobs` threads. Messages come in item order
// whatever the number of threads: failures and notes on `err`, and with
// --verbose each file converted or skipped on `out` (on `err` when the
// bitmap goes to `out`). On a terminal a run of
// more than one file ends with one line that counts what was converted,
// skipped and failed, and the seconds it took.
ExitStatus runBatch(const std::vector<Item>& items, const Options& options,
                     const Reporting& reporting);

// The whole program but for its process: reads the command line, plans and
// runs the batch, and returns the exit status.
ExitStatus runProgram(int argc, const char* const* argv, const Reporting& reporting);

}  // namespace rastrex::cli
