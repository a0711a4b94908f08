// The calling thread's last system error, as the platform keeps it: errno,
// or on Windows the thread's last error (GetLastError). fnRastrex leaves it
// set to the cause when it cannot open the dump or write the bitmap, so
// that its callers can tell the user why.
#pragma once

namespace rastrex {

// Forgets the last error, before a step whose failure is to be told.
void clearSystemError();

// The error of the step that just failed; never 0 (a failure that left no
// error behind is told as an I/O error, or on Windows from errno).
int lastSystemError();

void setSystemError(int error);

// A null path handed to fnRastrex, and a failure that left no error of the
// system's behind.
extern const int kBadPathError;
extern const int kUnknownError;

}  // namespace rastrex
