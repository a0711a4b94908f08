#include "converter_library.h"

#include "library_location.h"
#include "runtime_converter_library.h"

namespace rastrex {

RuntimeConverterLibrary::RuntimeConverterLibrary(QString fileName, QStringList candidates)
    : fileName_(std::move(fileName)), candidates_(std::move(candidates))
{
}

bool RuntimeConverterLibrary::bind(QString* reason)
{
    if (fn_ != nullptr)
        return true;
    QStringList failures;
    for (const QString& candidate : candidates_) {
        auto library = std::make_unique<QLibrary>(candidate);
        if (!library->load()) {
            failures << library->errorString();
            continue;
        }
        auto fn = reinterpret_cast<RastrexFn>(library->resolve("fnRastrex"));
        if (fn == nullptr) {
            // The loader's own words after a failed look-up are often empty.
            failures << QStringLiteral("%1 に fnRastrex がない。").arg(candidate);
            library->unload();
            continue;
        }
        library_ = std::move(library);
        fn_ = fn;
        return true;
    }
    if (reason != nullptr)
        *reason = QStringLiteral("変換ライブラリ %1 を読み込めなかったぞ。\r").arg(fileName_) +
                  failures.join(QLatin1Char('\r'));
    return false;
}

std::int32_t RuntimeConverterLibrary::convert(const QByteArray& xwdPath, const QByteArray& bmpPath)
{
    if (fn_ == nullptr && !bind(nullptr))
        return kNotBound;
    // QByteArray keeps a terminating zero after its data.
    return fn_(xwdPath.constData(), bmpPath.constData());
}

ConverterLibrary& systemConverterLibrary()
{
    static RuntimeConverterLibrary library(conversionLibraryFileName(), conversionLibraryCandidates());
    return library;
}

}  // namespace rastrex
