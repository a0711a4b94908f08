// Where the bitmap of a dump goes: beside it, under the same name with the
// extension replaced. Only the file-name part of the path is searched, so a
// folder named "shots.xwd" never changes where the bitmap is written.
#pragma once

#include <string>
#include <string_view>

#include "path_names.h"

namespace rastrex {

// "a.xwd" -> "a.bmp", "A.XWD" -> "A.BMP", "a.xwd.xwd" -> "a.bmp",
// "b.XWD.xwd" -> "b.XWD.bmp", "a.Xwd" -> "a.Xwd.BMP", "dump" -> "dump.BMP".
// The first ".xwd" in the file name wins and what follows it is dropped;
// ".XWD" is looked for only when the name holds no ".xwd"; case is exact.
inline std::string bmpPathFor(std::string_view xwdPath)
{
    const std::size_t nameStart = xwdPath.size() - cutAtLastSeparator(xwdPath, kPathSeparators).name.size();
    if (std::size_t p = xwdPath.find(".xwd", nameStart); p != std::string_view::npos)
        return std::string(xwdPath.substr(0, p + 1)) + "bmp";
    if (std::size_t p = xwdPath.find(".XWD", nameStart); p != std::string_view::npos)
        return std::string(xwdPath.substr(0, p + 1)) + "BMP";
    return std::string(xwdPath) + ".BMP";
}

}  // namespace rastrex
