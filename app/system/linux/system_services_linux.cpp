#include "system_services.h"

#include <QFile>

#include "folder_listing.h"
#include "library_location.h"
#include "runtime_library.h"
#include "trash.h"

namespace rastrex {

namespace {

std::vector<std::string> bytes(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(QFile::encodeName(s).toStdString());
    return out;
}

}  // namespace

ConverterLibrary& systemConverterLibrary()
{
    static RuntimeConverterLibrary library(conversionLibraryFileName().toStdString(),
                                           bytes(conversionLibraryCandidates()));
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

AppServices systemServices()
{
    return AppServices{systemConverterLibrary(), systemRecycleBin(), systemFileSystem()};
}

}  // namespace rastrex
