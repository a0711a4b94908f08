// What the window's logic needs from the machine beyond the toolkit: the
// conversion library, the trash and the file system. The platform layer holds
// the real ones for each platform; the tests pass scripted ones. Paths are
// byte strings in the platform's own spelling and code page.
#pragma once

#include <cstdint>
#include <string>

#include "controls.h"
#include "file_failure.h"

namespace rastrex {

// The conversion library, bound at run time: loaded at the first
// conversion, looked up by the entry name fnRastrex, kept until exit.
class ConverterLibrary {
public:
    virtual ~ConverterLibrary() = default;
    // Binds the library if it is not bound yet. False when it cannot be
    // loaded or lacks fnRastrex; `reason` then names the library and the
    // loader's reason, for the user. A failed bind is tried again next time.
    virtual bool bind(std::string* reason) = 0;
    // Calls fnRastrex with the two zero-terminated paths; only after bind()
    // succeeded. Returns its result code.
    virtual std::int32_t convert(const std::string& xwdPath, const std::string& bmpPath) = 0;
    // Why the last convert() could not open the dump or write the bitmap,
    // as the system told the library.
    virtual SystemFailure failureCause() const = 0;
};

// Moving one file to the trash (the recycle bin on Windows).
class RecycleBin {
public:
    struct Outcome {
        bool moved = false;
        std::string reason;  // why not, for the user; empty when the user declined
        // The platform has shown the user why already (the shell's own
        // error box): no second box follows.
        bool toldUser = false;
    };
    virtual ~RecycleBin() = default;
    // True when the move itself asks the user first (the Windows shell does);
    // otherwise the caller asks.
    virtual bool asksItself() const = 0;
    // Moves exactly the file at `path` into the trash, or leaves it in place
    // and says why. `owner` owns any dialog the platform shows.
    virtual Outcome moveToTrash(const std::string& path, NativeHandle owner) = 0;
};

// What an attempt to open a file for reading found.
enum class FileState {
    Readable,      // a regular file, opened and closed again
    Missing,       // nothing of that name (or no folder on its way)
    InUse,         // another program holds it without sharing it
    NoPermission,  // the user may not read it
    Folder,        // a folder, named as a dump
    NotAFile,      // a pipe or a device
    Unreadable,    // any other failure (a bad name, a failing disk)
};

// The file system as the logic probes it.
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens `path` for reading and tells what it found, closing what it
    // opened. A named pipe never holds the open.
    virtual FileState openForReading(const std::string& path) = 0;
};

// Everything the main window is lent: main() passes the real ones.
struct AppServices {
    ConverterLibrary& library;
    RecycleBin& trash;
    FileSystem& files;
};

}  // namespace rastrex
