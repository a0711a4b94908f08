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
    if (QCoreApplication::instance() != nullptr) {
        const QString programDir = QCoreApplication::applicationDirPath();
        candidates << QDir::toNativeSeparators(programDir + QLatin1Char('/') +
                                               conversionLibraryFileName());
#if defined(RASTREX_LIBRARY_DIR_FROM_PROGRAM)
        // Installed, the library lies in the library folder beside the
        // program's folder (/usr/bin and /usr/lib/<multiarch>); a build tree
        // has it beside the program, which is tried first.
        candidates << QDir::cleanPath(programDir + QStringLiteral("/" RASTREX_LIBRARY_DIR_FROM_PROGRAM "/") +
                                      conversionLibraryFileName());
#endif
    }
    candidates << conversionLibraryFileName();
    return candidates;
}

}  // namespace rastrex
