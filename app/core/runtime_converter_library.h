// The conversion library bound through the platform's loader.
#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>
#include <memory>

#include "converter_library.h"
#include "rastrex.h"

namespace rastrex {

// Tries `candidates` in order (full paths, or bare names for the system
// loader's search) and keeps the first that loads and holds fnRastrex for
// the rest of the run. A failed attempt is tried again at the next bind().
class RuntimeConverterLibrary final : public ConverterLibrary {
public:
    // What convert() returns when the library cannot be bound; fnRastrex
    // itself never returns it.
    static constexpr std::int32_t kNotBound = -1;

    RuntimeConverterLibrary(QString fileName, QStringList candidates);

    bool bind(QString* reason) override;
    std::int32_t convert(const QByteArray& xwdPath, const QByteArray& bmpPath) override;

private:
    QString fileName_;
    QStringList candidates_;
    std::unique_ptr<QLibrary> library_;  // never unloaded
    RastrexFn fn_ = nullptr;
};

}  // namespace rastrex
