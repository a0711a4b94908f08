// The parts of a path as this platform spells it (path_rules.h): one set of
// helpers for the window, its system layer and xwd2bmp.
#pragma once

#include <string>
#include <string_view>
#include <type_traits>

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

// A path cut at its last separator, one of those the caller names: the
// folder before it and the name after it. A path without one is a bare name.
template <class Char>
struct PathCut {
    std::basic_string_view<Char> folder;  // without the separator; empty in the root
    std::basic_string_view<Char> name;
    bool inFolder = false;  // a separator was found
};

template <class Char>
constexpr PathCut<Char> cutAtLastSeparator(std::basic_string_view<Char> path,
                                           std::type_identity_t<std::basic_string_view<Char>> separators)
{
    const std::size_t sep = path.find_last_of(separators);
    if (sep == std::basic_string_view<Char>::npos)
        return {{}, path, false};
    return {path.substr(0, sep), path.substr(sep + 1), true};
}

// The name after the last separator of `path` (on Windows also after a
// drive's colon, as in "C:a.xwd"); the whole path when it has none.
inline std::string lastName(std::string_view path)
{
    return std::string(cutAtLastSeparator(path, kPathSeparators).name);
}

// The folder that holds what a POSIX path names, as spelled: "." for a bare
// name, "/" for a name in the root.
inline std::string posixFolderOf(std::string_view path)
{
    const PathCut<char> cut = cutAtLastSeparator(path, "/");
    if (!cut.inFolder)
        return ".";
    return cut.folder.empty() ? "/" : std::string(cut.folder);
}

}  // namespace rastrex
