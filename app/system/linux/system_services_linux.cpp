#include "system_services.h"

#include "folder_listing.h"
#include "library_location.h"
#include "runtime_library.h"
#include "trash.h"

namespace rastrex {

ConverterLibrary& systemConverterLibrary(const std::string& programFolder)
{
    static RuntimeConverterLibrary library(conversionLibraryFileName(), conversionLibraryCandidates(programFolder));
    return library;
}

RecycleBin& systemRecycleBin()
{
    static DesktopTrash bin;
    return bin;
}

FileSystem& systemFileSystem()
{
    static SystemFileSystem files;
    return files;
}

AppServices systemServices(const std::string& programFolder)
{
    return AppServices{systemConverterLibrary(programFolder), systemRecycleBin(), systemFileSystem()};
}

}  // namespace rastrex
