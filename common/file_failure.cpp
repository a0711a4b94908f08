#include "file_failure.h"

#include <cerrno>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>

#include "long_path.h"
#endif

namespace rastrex {

namespace {

struct ErrorKind {
    int error;
    FileFailure kind;
};

#if defined(_WIN32)

// ERROR_DISK_QUOTA_EXCEEDED, which Debian 12's mingw-w64 headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

constexpr int code(DWORD error) { return static_cast<int>(error); }

// Every error with a kind of its own; any other is FileFailure::Other.
constexpr ErrorKind kErrorKinds[] = {
    {code(ERROR_SUCCESS), FileFailure::None},
    {code(ERROR_DISK_FULL), FileFailure::NoSpace},
    {code(ERROR_HANDLE_DISK_FULL), FileFailure::NoSpace},
    {code(kDiskQuotaExceeded), FileFailure::Quota},
    {code(ERROR_ACCESS_DENIED), FileFailure::NoPermission},
    {code(ERROR_WRITE_PROTECT), FileFailure::ReadOnlyDisk},
    {code(ERROR_FILE_READ_ONLY), FileFailure::ReadOnlyFile},
    {code(ERROR_SHARING_VIOLATION), FileFailure::InUse},
    {code(ERROR_LOCK_VIOLATION), FileFailure::InUse},
    {code(ERROR_USER_MAPPED_FILE), FileFailure::InUse},
    {code(ERROR_FILE_NOT_FOUND), FileFailure::NotFound},
    {code(ERROR_PATH_NOT_FOUND), FileFailure::NotFound},
    {code(ERROR_BAD_NETPATH), FileFailure::NotFound},
    {code(ERROR_BAD_NET_NAME), FileFailure::NotFound},
    {code(ERROR_INVALID_DRIVE), FileFailure::NotFound},
    {code(ERROR_DIRECTORY), FileFailure::FolderInTheWay},
};

int lastError() { return static_cast<int>(GetLastError()); }

#else

constexpr ErrorKind kErrorKinds[] = {
    {0, FileFailure::None},
    {ENOSPC, FileFailure::NoSpace},
    {EDQUOT, FileFailure::Quota},
    {EACCES, FileFailure::NoPermission},
    {EPERM, FileFailure::NoPermission},
    {EROFS, FileFailure::ReadOnlyDisk},
    {ETXTBSY, FileFailure::InUse},
    {EBUSY, FileFailure::InUse},
    {ENOENT, FileFailure::NotFound},
    {ENOTDIR, FileFailure::NotFound},  // a file stands where a folder on the way should
    {EISDIR, FileFailure::FolderInTheWay},
    {ENXIO, FileFailure::NotAFile},  // a socket, or a device without its driver
};

int lastError() { return errno; }

#endif

}  // namespace

SystemFailure lastSystemFailure()
{
    const int error = lastError();
    return {classifySystemError(error), error};
}

FileFailure classifySystemError(int error)
{
    for (const ErrorKind& e : kErrorKinds) {
        if (e.error == error)
            return e.kind;
    }
    return FileFailure::Other;
}

#if defined(_WIN32)

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

std::string systemErrorText(int error, bool)
{
    return std::generic_category().message(error);
}

#endif

}  // namespace rastrex
