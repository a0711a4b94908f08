// The conversion library opened by the Windows loader: LoadLibraryA by file
// name (or full path), the entry looked up with GetProcAddress.
#include "runtime_library.h"

#include <windows.h>

namespace rastrex::loader {

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

void* open(const std::string& candidate, std::string& why)
{
    HMODULE module = LoadLibraryA(candidate.c_str());
    if (module == nullptr)
        why = candidate + ": " + errorText(GetLastError());
    return module;
}

void* lookUp(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void close(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}

}  // namespace rastrex::loader
