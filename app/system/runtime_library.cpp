// The candidates tried in order and the call, the same on every platform;
// runtime_library_linux.cpp and runtime_library_windows.cpp open, look up
// and close.
#include "runtime_library.h"

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
        std::string why;
        void* handle = loader::open(candidate, why);
        if (handle == nullptr) {
            failures += "\r" + why;
            continue;
        }
        auto fn = reinterpret_cast<RastrexFn>(loader::lookUp(handle, "fnRastrex"));
        if (fn == nullptr) {
            // The loader's own words after a failed look-up are often empty.
            failures += "\r" + candidate + " に fnRastrex がない。";
            loader::close(handle);
            continue;
        }
        handle_ = handle;  // kept loaded until the program ends
        fn_ = fn;
        return true;
    }
    if (reason != nullptr)
        *reason = "変換ライブラリ " + fileName_ + " を読み込めなかったぞ。" + failures;
    return false;
}

std::int32_t RuntimeConverterLibrary::convert(const std::string& xwdPath, const std::string& bmpPath)
{
    failure_ = {};
    if (fn_ == nullptr && !bind(nullptr))
        return kNotBound;
    const std::int32_t result = fn_(xwdPath.c_str(), bmpPath.c_str());
    // The library leaves its reason in the thread's last error.
    if (result == RASTREX_ERR_OPEN_INPUT || result == RASTREX_ERR_WRITE_OUTPUT)
        failure_ = lastSystemFailure();
    return result;
}

}  // namespace rastrex
