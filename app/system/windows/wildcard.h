// File-name patterns as the Windows file search reads them: "*" any run of
// characters, "?" one character, several patterns joined by ";", letter
// case ignored, and "*.*" matching every name, one without a dot too.
// Plain C++, so that it is tested on every platform.
#pragma once

#include <string_view>

namespace rastrex::win32 {

// Whether `name` (a file name without folder) matches one `pattern`.
bool matchesOne(std::string_view name, std::string_view pattern);

// Whether `name` matches any of the ";"-separated patterns of `patterns`.
// An empty pattern list matches nothing.
bool matchesPattern(std::string_view name, std::string_view patterns);

}  // namespace rastrex::win32
