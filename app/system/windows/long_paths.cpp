#include "long_paths.h"

#include <windows.h>

#include <climits>

namespace rastrex::win32 {

namespace {

const std::wstring kLongPrefix = L"\\\\?\\";
const std::wstring kLongUncPrefix = L"\\\\?\\UNC\\";
const std::wstring kDevicePrefix = L"\\\\.\\";

bool startsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::wstring toWide(const std::string& text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), n);
    return out;
}

std::string fromWide(const std::wstring& text)
{
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring fullWidePath(const std::string& path)
{
    const std::wstring wide = toWide(path);
    if (wide.empty() || wide.find(L'\0') != std::wstring::npos)
        return {};
    if (startsWith(wide, kLongPrefix))
        return withoutLongPrefix(wide);
    // The full path's length is asked first: it may pass MAX_PATH by far.
    DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return {};
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return {};
    full.resize(n);
    return full;
}

std::wstring longPathForm(const std::string& path)
{
    const std::wstring wide = toWide(path);
    if (startsWith(wide, kLongPrefix) || startsWith(wide, kDevicePrefix))
        return wide;
    const std::wstring full = fullWidePath(path);
    if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\')
        return kLongUncPrefix + full.substr(2);
    if (full.size() >= 2 && full[1] == L':')
        return kLongPrefix + full;
    return full;
}

std::wstring withoutLongPrefix(const std::wstring& path)
{
    if (startsWith(path, kLongUncPrefix))
        return L"\\\\" + path.substr(kLongUncPrefix.size());
    if (startsWith(path, kLongPrefix))
        return path.substr(kLongPrefix.size());
    return path;
}

}  // namespace rastrex::win32
