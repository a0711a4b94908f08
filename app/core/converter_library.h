// The conversion library, bound at run time: loaded at the first conversion,
// looked up by the entry name fnRastrex, and kept for the rest of the run.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace rastrex {

class ConverterLibrary {
public:
    virtual ~ConverterLibrary() = default;

    // Binds the library if it is not bound yet. False when it cannot be
    // loaded or lacks fnRastrex; `reason` then names the library and the
    // loader's reason, for the user.
    virtual bool bind(QString* reason) = 0;

    // Calls fnRastrex with two 8-bit paths; only after bind() succeeded.
    virtual std::int32_t convert(const QByteArray& xwdPath, const QByteArray& bmpPath) = 0;
};

// The real binding through the platform's loader (libRASTREX.so beside the
// executable first, then the system's search; RASTREX.DLL on Windows).
ConverterLibrary& systemConverterLibrary();

}  // namespace rastrex
