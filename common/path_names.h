// The parts of a path as this platform spells it (path_rules.h): one set of
// helpers for the window, its system layer and xwd2bmp.
#pragma once

#include <string>
#include <string_view>

#include "path_rules.h"

namespace rastrex {

// Whether `path` ends in a folder separator (a volume's root does).
inline bool endsWithSeparator(std::string_view path)
{
    return !path.empty() && isFolderSeparator(path.back());
}

// `folder` with one separator at its end, for a name to follow; none is
// added when it ends in one already (a volume's root).
inline std::string folderPrefix(std::string_view folder)
{
    std::string prefix(folder);
    if (!endsWithSeparator(folder))
        prefix += kFolderSeparator;
    return prefix;
}

// The name after the last separator of `path` (on Windows also after a
// drive's colon, as in "C:a.xwd"); the whole path when it has none.
inline std::string lastName(std::string_view path)
{
    const std::size_t sep = path.find_last_of(kPathSeparators);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

}  // namespace rastrex
