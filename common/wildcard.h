// File-name patterns, one matcher for every program: "*" any run of
// characters, "?" one character, letter case ignored as case_fold.h folds
// it, every other character compared whole. Names are bytes: UTF-8 on Linux and where the
// Windows program's ANSI code page is UTF-8, else the code page's double-byte
// characters, whose trail byte may look like an ASCII letter.
#pragma once

#include <string_view>

namespace rastrex {

// Whether `name` (a file name without folder) matches `pattern`.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// Whether `name` matches any of the ";"-separated patterns of `patterns`
// (spaces around each ignored), as the Windows file search reads them: "*.*" and "*" match every name, one
// without a dot too. An empty pattern list matches nothing.
bool matchesPattern(std::string_view name, std::string_view patterns);

}  // namespace rastrex
