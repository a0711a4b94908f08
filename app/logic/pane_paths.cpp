#include "pane_paths.h"

#include "path_rules.h"

namespace rastrex {

std::string dropFolderFor(const std::string& droppedPath, const std::string& volumeRoot)
{
    if (volumeRoot.empty())
        return {};
    std::string path = droppedPath;
    // "/data/shots/" names the folder shots, an item of /data.
    if (path.size() > 1 && endsWithSeparator(path))
        path.pop_back();
    std::size_t sep = std::string::npos;
    for (std::size_t i = path.size(); i-- > 0;)
        if (isFolderSeparator(path[i])) {
            sep = i;
            break;
        }
    if (sep == std::string::npos)
        return {};
    const std::string folder = path.substr(0, sep);
    // "/a.xwd" gives "", "C:\a.xwd" gives "C:": the volume's root.
    std::string root = volumeRoot;
    if (root.size() > 1 && endsWithSeparator(root))
        root.pop_back();
    return folder.size() < root.size() ? volumeRoot : folder;
}

}  // namespace rastrex
