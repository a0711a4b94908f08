// What the front ends tell of the row path (row_path_report.h).
#include "row_path_report.h"

#include <cstdlib>

#include "processor.h"

namespace rastrex {

std::string rowPathReport()
{
    std::string report = rowPathsName(configuredRowPaths());
    const char* setting = std::getenv(kRowPathsVariable);
    if (setting == nullptr || *setting == '\0')
        return report;
    report += std::string(" (") + kRowPathsVariable;
    if (rowPathsNamed(setting))
        return report + "=" + setting + ")";
    return report + " ignored: it names none of plain, ssse3, avx2, avx512)";
}

}  // namespace rastrex
