#include "library_location.h"

#include <QCoreApplication>
#include <QDir>

namespace rastrex {

QString conversionLibraryFileName()
{
    return QStringLiteral("RASTREX.DLL");
}

QStringList conversionLibraryCandidates()
{
    QStringList candidates;
    if (QCoreApplication::instance() != nullptr)
        candidates << QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                               conversionLibraryFileName());
    candidates << conversionLibraryFileName();
    return candidates;
}

}  // namespace rastrex
