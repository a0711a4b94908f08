// Paths the window's commands build from what the panes show.
#pragma once

#include <string>

#include "path_names.h"

namespace rastrex {

// The folder the panes move to for a dropped path on the volume whose root
// is `volumeRoot`: the text before the path's last separator (a dropped
// folder counts as an item of its parent), or the volume's root itself when
// that text is shorter than the root. Empty when the path lies on no volume
// or holds no separator.
std::string dropFolderFor(const std::string& droppedPath, const std::string& volumeRoot);

}  // namespace rastrex
