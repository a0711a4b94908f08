#include "runtime_library.h"

#include <dlfcn.h>

namespace rastrex {

RuntimeConverterLibrary::RuntimeConverterLibrary(std::string fileName, std::vector<std::string> candidates)
    : fileName_(std::move(fileName)), candidates_(std::move(candidates))
{
}

bool RuntimeConverterLibrary::bind(std::string* reason)
{
    if (fn_ != nullptr)
        return true;
    std::string failures;
    for (const std::string& candidate : candidates_) {
        void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = ::dlerror();
            failures += '\r';
            failures += why ? why : candidate;
            continue;
        }
        auto fn = reinterpret_cast<RastrexFn>(::dlsym(handle, "fnRastrex"));
        if (fn == nullptr) {
            // The loader's own words after a failed look-up are often empty.
            failures += "\r" + candidate + " に fnRastrex がない。";
            ::dlclose(handle);
            continue;
        }
        handle_ = handle;
        fn_ = fn;
        return true;
    }
    if (reason != nullptr)
        *reason = "変換ライブラリ " + fileName_ + " を読み込めなかったぞ。" + failures;
    return false;
}

std::int32_t RuntimeConverterLibrary::convert(const std::string& xwdPath, const std::string& bmpPath)
{
    if (fn_ == nullptr && !bind(nullptr))
        return kNotBound;
    return fn_(xwdPath.c_str(), bmpPath.c_str());
}

}  // namespace rastrex
