#include "long_path.h"

#if defined(_WIN32)

#include <windows.h>

#include <climits>

namespace rastrex {

namespace {

constexpr std::wstring_view kExtended = L"\\\\?\\";
constexpr std::wstring_view kExtendedShare = L"\\\\?\\UNC\\";
constexpr std::wstring_view kNtObject = L"\\??\\";
constexpr std::wstring_view kDevice = L"\\\\.\\";
constexpr std::wstring_view kShare = L"\\\\";

}  // namespace

std::optional<std::wstring> widePath(std::string_view path, unsigned codePage)
{
    if (path.empty() || path.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, path.data(),
                                      static_cast<int>(path.size()), nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, path.data(),
                            static_cast<int>(path.size()), wide.data(), n) != n)
        return std::nullopt;
    // A zero inside the bytes would end the path early for the system.
    if (wide.find(L'\0') != std::wstring::npos)
        return std::nullopt;
    return wide;
}

std::string narrowText(std::wstring_view text, unsigned codePage)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring wideText(std::string_view text, unsigned codePage)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), n);
    return out;
}

std::wstring extendedPath(const std::wstring& path)
{
    if (path.empty() || path.starts_with(kExtended) || path.starts_with(kNtObject))
        return path;
    std::wstring full(path.size() + MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()),
                                         full.data(), nullptr);
        if (n == 0)
            return path;
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n);  // n counts the terminating zero when it did not fit
    }
    if (full.starts_with(kDevice))
        return full;
    if (full.starts_with(kShare))
        return std::wstring(kExtendedShare) + full.substr(kShare.size());
    if (full.size() >= 2 && full[1] == L':')
        return std::wstring(kExtended) + full;
    return full;
}

std::optional<std::wstring> extendedPath(std::string_view ansiPath)
{
    std::optional<std::wstring> wide = widePath(ansiPath, CP_ACP);
    if (wide)
        *wide = extendedPath(*wide);
    return wide;
}

std::wstring shownPath(const std::wstring& path)
{
    if (path.starts_with(kExtendedShare))
        return std::wstring(kShare) + path.substr(kExtendedShare.size());
    if (path.starts_with(kExtended))
        return path.substr(kExtended.size());
    return path;
}

}  // namespace rastrex

#endif
