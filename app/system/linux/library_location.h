// Where the window program looks for the conversion library.
#pragma once

#include <string>
#include <vector>

namespace rastrex {

// The library's file name, as the user is told it.
std::string conversionLibraryFileName();

// The places to load it from, in order: the full path beside the program
// in `programFolder` first, then (where the build names one) the installed
// library folder relative to the program's, then the bare file name for the
// system loader's own search. Without a program folder, only the last.
std::vector<std::string> conversionLibraryCandidates(const std::string& programFolder);

}  // namespace rastrex
