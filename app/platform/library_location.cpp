#include "library_location.h"

#include <QCoreApplication>
#include <QDir>

namespace rastrex {

QString conversionLibraryFileName()
{
#if defined(_WIN32)
    return QStringLiteral("RASTREX.DLL");
#else
    return QStringLiteral("libRASTREX.so");
#endif
}

QStringList conversionLibraryCandidates()
{
    QStringList candidates;
    // applicationDirPath() needs the application object; without one only
    // the system loader's search is left.
    if (QCoreApplication::instance() != nullptr)
        candidates << QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                               QLatin1Char('/') + conversionLibraryFileName());
    candidates << conversionLibraryFileName();
    return candidates;
}

}  // namespace rastrex
