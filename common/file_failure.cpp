#include "file_failure.h"

#include <cerrno>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>

#include "long_path.h"

// Older mingw-w64 headers (Debian 12's) lack this one.
#ifndef ERROR_DISK_QUOTA_EXCEEDED
#define ERROR_DISK_QUOTA_EXCEEDED 1295L
#endif
#endif

namespace rastrex {

#if defined(_WIN32)

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

SystemFailure lastSystemFailure()
{
    const int error = static_cast<int>(GetLastError());
    return {classifySystemError(error), error};
}

FileFailure classifySystemError(int error)
{
    switch (static_cast<DWORD>(error)) {
    case ERROR_SUCCESS: return FileFailure::None;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FileFailure::NoSpace;
    case kDiskQuotaExceeded: return FileFailure::Quota;
    case ERROR_ACCESS_DENIED: return FileFailure::NoPermission;
    case ERROR_WRITE_PROTECT: return FileFailure::ReadOnlyDisk;
    case ERROR_FILE_READ_ONLY: return FileFailure::ReadOnlyFile;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return FileFailure::InUse;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE: return FileFailure::NotFound;
    case ERROR_DIRECTORY: return FileFailure::FolderInTheWay;
    default: return FileFailure::Other;
    }
}

std::string systemErrorText(int error, bool english)
{
    wchar_t* text = nullptr;
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    const auto format = [&](DWORD language) {
        return FormatMessageW(flags, nullptr, static_cast<DWORD>(error), language,
                              reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    };
    DWORD n = english ? format(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)) : 0;
    if (n == 0)
        n = format(0);
    if (n == 0)
        return "system error " + std::to_string(error);
    std::wstring words(text, n);
    LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ' ||
                              words.back() == L'.'))
        words.pop_back();
    return narrowText(words, CP_ACP);
}

#else

SystemFailure lastSystemFailure()
{
    const int error = errno;
    return {classifySystemError(error), error};
}

FileFailure classifySystemError(int error)
{
    switch (error) {
    case 0: return FileFailure::None;
    case ENOSPC: return FileFailure::NoSpace;
    case EDQUOT: return FileFailure::Quota;
    case EACCES:
    case EPERM: return FileFailure::NoPermission;
    case EROFS: return FileFailure::ReadOnlyDisk;
    case ETXTBSY:
    case EBUSY: return FileFailure::InUse;
    case ENOENT: return FileFailure::NotFound;
    case EISDIR: return FileFailure::FolderInTheWay;
    default: return FileFailure::Other;
    }
}

std::string systemErrorText(int error, bool)
{
    return std::generic_category().message(error);
}

#endif

}  // namespace rastrex
