#include "library_location.h"

#include <filesystem>

namespace rastrex {

std::string conversionLibraryFileName()
{
    return "libRASTREX.so";
}

std::vector<std::string> conversionLibraryCandidates(const std::string& programFolder)
{
    std::vector<std::string> candidates;
    if (!programFolder.empty()) {
        const std::filesystem::path folder(programFolder);
        candidates.push_back((folder / conversionLibraryFileName()).string());
#if defined(RASTREX_LIBRARY_DIR_FROM_PROGRAM)
        // Installed, the library lies in the library folder beside the
        // program's folder (/usr/bin and /usr/lib/<multiarch>); a build tree
        // has it beside the program, which is tried first.
        candidates.push_back(
            (folder / RASTREX_LIBRARY_DIR_FROM_PROGRAM / conversionLibraryFileName()).lexically_normal().string());
#endif
    }
    candidates.push_back(conversionLibraryFileName());
    return candidates;
}

}  // namespace rastrex
