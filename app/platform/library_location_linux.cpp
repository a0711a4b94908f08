#include "library_location.h"

#include <QCoreApplication>

namespace rastrex {

QString conversionLibraryFileName()
{
    return QStringLiteral("libRASTREX.so");
}

QStringList conversionLibraryCandidates()
{
    QStringList candidates;
    // applicationDirPath() needs the application object; without one only
    // the system loader's search is left.
    if (QCoreApplication::instance() != nullptr)
        candidates << QCoreApplication::applicationDirPath() + QLatin1Char('/') + conversionLibraryFileName();
    candidates << conversionLibraryFileName();
    return candidates;
}

}  // namespace rastrex
