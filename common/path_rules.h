// How this platform spells paths: which characters end a folder part, and
// which one the program writes between a folder and a name.
#pragma once

#include <string_view>

namespace rastrex {

#if defined(_WIN32)
inline constexpr std::string_view kPathSeparators = "\\/:";
inline constexpr char kFolderSeparator = '\\';
// Whether two names that differ only in letter case name the same file.
inline constexpr bool kNamesIgnoreCase = true;
#else
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr char kFolderSeparator = '/';
inline constexpr bool kNamesIgnoreCase = false;
#endif

// Whether `c` ends a folder part of a path. The drive colon of Windows ends
// a name's folder part but is no folder separator of its own.
constexpr bool isFolderSeparator(char c)
{
#if defined(_WIN32)
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

}  // namespace rastrex
