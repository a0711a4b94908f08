// The bitmap's file. Its bytes go to a new file in the bitmap's folder,
// which takes the bitmap's place only once every byte is written and the
// file is closed; until then, and whenever a step fails, whatever is at the
// bitmap's path stays as it was and the new file is removed.
//
// - An existing bitmap is replaced and keeps its permission bits (and its
//   owner and group where the process may give them); one that
//   cannot be opened for writing (read-only) is refused, as it would be if
//   it were written in place.
// - A symbolic link at the path is replaced by the bitmap; the file it names
//   is not touched.
// - A path that names a device, a pipe or the like is written in place, and
//   never replaced or removed.
// - A path that names the dump itself ends with the bitmap in the dump's
//   place; the dump must be closed before commit() (some systems replace no
//   open file).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace rastrex {

// Turns off the new file without a name where the system has one, so that
// every bitmap goes through a named new file as on systems without it; for
// tests of that path, not shown outside the library.
void useNamedNewFilesOnly(bool on);

class OutputFile {
public:
    // Any path the system allows, at any length.
    explicit OutputFile(const char* path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // False when nothing can be written at the path.
    bool isOpen() const { return fd_ >= 0; }

    // The system's error of the first step that failed (see system_error.h);
    // 0 while none did.
    int error() const { return error_; }

    // Writes all `n` bytes, or remembers that a write failed.
    void write(const unsigned char* data, std::size_t n);
    bool failed() const { return failed_; }

    // Closes the file and puts it in the bitmap's place; true when every
    // write, the close and the replacement succeeded.
    bool commit();

private:
    void openInPlace();
    void openNew();
    bool putInPlace();
    // After the descriptor is closed (`closed` says whether that worked):
    // puts a complete bitmap in place, or undoes everything.
    bool settle(bool closed);
    void abandon();
    // Keeps the error of the step that just failed, unless one came first.
    void noteError();
    void noteError(int error);

#if defined(_WIN32)
    using Path = std::wstring;  // wide, in the \\?\ form
#else
    using Path = std::string;
#endif
    Path path_;
    int fd_ = -1;
    bool failed_ = false;
    int error_ = 0;
    bool inPlace_ = false;   // a device or pipe, written directly
    Path temp_;              // the new file's name while it has one
#if !defined(_WIN32)
    int keepMode_ = -1;      // permission bits of the bitmap it replaces
    unsigned keepOwner_ = 0; // and its owner and group
    unsigned keepGroup_ = 0;
    int folder_ = -1;        // the bitmap's folder, opened for the names in it
    std::string name_;       // the bitmap's name in it
    bool unnamed_ = false;   // made without a name, named at commit()
#endif
};

}  // namespace rastrex
