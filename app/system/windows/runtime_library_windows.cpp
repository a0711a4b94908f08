// The conversion library bound by the Windows loader: LoadLibraryA by file
// name (or full path), the entry looked up with GetProcAddress.
#include "runtime_library.h"

#include <windows.h>

namespace rastrex {

namespace {

std::string errorText(DWORD code)
{
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string out = n != 0 && text != nullptr ? std::string(text, n) : std::string();
    if (text != nullptr)
        LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
        out.pop_back();
    return out.empty() ? "エラー " + std::to_string(code) : out;
}

}  // namespace

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
        HMODULE module = LoadLibraryA(candidate.c_str());
        if (module == nullptr) {
            failures += "\r" + candidate + ": " + errorText(GetLastError());
            continue;
        }
        auto fn = reinterpret_cast<RastrexFn>(reinterpret_cast<void*>(GetProcAddress(module, "fnRastrex")));
        if (fn == nullptr) {
            failures += "\r" + candidate + " に fnRastrex がない。";
            FreeLibrary(module);
            continue;
        }
        handle_ = module;  // kept loaded until the program ends
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
