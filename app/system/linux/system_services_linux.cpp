#include "system_services.h"

#include <QFile>

#include "folder_listing.h"
#include "library_location.h"
#include "runtime_library.h"
#include "trash.h"

namespace rastrex {

namespace {

// The freedesktop.org trash, reached through Qt, which names files as
// QString: a name whose bytes do not survive the round trip is refused
// rather than guessed at.
class DesktopRecycleBin final : public RecycleBin {
public:
    bool asksItself() const override { return false; }
    Outcome moveToTrash(const std::string& path, NativeHandle) override
    {
        const QByteArray bytes = QByteArray::fromStdString(path);
        const QString name = QFile::decodeName(bytes);
        if (QFile::encodeName(name) != bytes)
            return {false, "このファイル名はごみ箱に渡せません。"};
        const Trash::Outcome out = systemTrash().moveToTrash(name);
        return {out.moved, out.reason.toStdString()};
    }
};

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
    static DesktopRecycleBin bin;
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
