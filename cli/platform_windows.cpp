#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <string>
#include <system_error>

#include "long_path.h"
#include "platform.h"
#include "wildcard.h"

namespace rastrex::cli {

namespace {

int errnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    default:
        return EIO;
    }
}

std::string systemMessage(int error)
{
    return std::generic_category().message(error);
}

bool hasWildcard(std::string_view s)
{
    return s.find_first_of("*?") != std::string_view::npos;
}

// Where the file-name part of a path begins: after its last \, / or the
// colon of a drive, stepping over two-byte characters whole.
std::size_t nameStart(std::string_view path)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size();) {
        if (i + 1 < path.size() && IsDBCSLeadByte(static_cast<BYTE>(path[i]))) {
            i += 2;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':')
            start = i + 1;
        ++i;
    }
    return start;
}

// The options whose value is the next argument, which is never a pattern.
bool takesValue(std::string_view arg)
{
    return arg == "-o" || arg == "--output-dir" || arg == "-j" || arg == "--jobs" ||
           arg == "--files-from";
}

}  // namespace

Looked lookAt(const std::string& path)
{
    const std::optional<std::wstring> wide = extendedPath(path);
    if (!wide)
        return {std::nullopt, ENOENT};
    // FILE_FLAG_BACKUP_SEMANTICS opens folders too; links are followed.
    const HANDLE h = CreateFileW(wide->c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {std::nullopt, errnoOf(GetLastError())};
    BY_HANDLE_FILE_INFORMATION about{};
    const BOOL ok = GetFileInformationByHandle(h, &about);
    const DWORD error = GetLastError();
    CloseHandle(h);
    if (!ok)
        return {std::nullopt, errnoOf(error)};
    FileInfo info;
    info.id = {about.dwVolumeSerialNumber,
               (std::uint64_t{about.nFileIndexHigh} << 32) | about.nFileIndexLow};
    info.bytes = (std::uint64_t{about.nFileSizeHigh} << 32) | about.nFileSizeLow;
    return {info, 0};
}

std::filesystem::path toPath(std::string_view native)
{
    return std::filesystem::path(wideText(native, CP_ACP));
}

std::optional<std::string> fromPath(const std::filesystem::path& path)
{
    const std::wstring& wide = path.native();
    if (wide.empty())
        return std::string();
    // UTF-8 (the code page the manifest asks for) spells every character
    // but half a surrogate pair, and takes no best-fit or lossy flags.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, utf8 ? nullptr : &lossy);
    if (n <= 0 || lossy)
        return std::nullopt;
    std::string native(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()), native.data(), n,
                        nullptr, nullptr);
    return native;
}

std::optional<std::string> fromUtf8(std::string_view utf8)
{
    if (utf8.empty())
        return std::string();
    std::optional<std::wstring> wide = widePath(utf8, CP_UTF8);
    if (!wide)
        return std::nullopt;
    return fromPath(std::filesystem::path(std::move(*wide)));
}

std::optional<std::string> consoleTextAsUtf8(std::string_view text)
{
    UINT codePage = GetConsoleCP();
    // Without a console, the one a console starts in: the system's OEM code
    // page, which GetOEMCP no longer gives in a program whose manifest asks
    // for UTF-8.
    DWORD oem = 0;
    if (codePage == 0 &&
        GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTCODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&oem), sizeof oem / sizeof(wchar_t)) != 0)
        codePage = oem;
    if (codePage == 0 || codePage == CP_UTF8)
        return std::nullopt;  // not UTF-8 is not UTF-8
    return codePageTextAsUtf8(text, codePage);
}

std::optional<std::string> codePageTextAsUtf8(std::string_view text, unsigned codePage)
{
    if (text.empty())
        return std::string();
    if (text.size() > static_cast<std::size_t>(INT_MAX))
        return std::nullopt;
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), n);
    return narrowText(wide, CP_UTF8);
}

bool namesAreUtf8()
{
    return GetACP() == CP_UTF8;
}

std::string deviceFileSystem(const std::string&)
{
    return {};  // devices lie outside the file systems, in \\.\, where no folder is
}

bool namesNoFile(const std::string& path)
{
    // NUL, CON, COM1 and \\.\pipe\x become \\.\ paths, the device namespace.
    const std::optional<std::wstring> full = extendedPath(path);
    return full && full->starts_with(L"\\\\.\\");
}

bool terminalTakesEscapes()
{
    return true;
}

std::filesystem::path systemPath(const std::filesystem::path& path)
{
    return extendedPath(path.native());
}

std::vector<Listed> listEntries(const std::filesystem::path& dir, std::error_code& error)
{
    // The runtime's folder listing stops at MAX_PATH, even in the \\?\ form.
    std::vector<Listed> entries;
    WIN32_FIND_DATAW found{};
    const HANDLE h = FindFirstFileW((systemPath(dir) / L"*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
        error = std::error_code(errnoOf(GetLastError()), std::generic_category());
        return entries;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                            (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
        entries.push_back({std::filesystem::path(name), folder, false});
    } while (FindNextFileW(h, &found));
    if (GetLastError() != ERROR_NO_MORE_FILES)
        error = std::error_code(errnoOf(GetLastError()), std::generic_category());
    FindClose(h);
    return entries;
}

std::string makeFolders(const std::filesystem::path& folder)
{
    const std::wstring full = extendedPath(folder.native());
    // Where the root ends: at the backslash after "\\?\C:" or "\\?\UNC\server\share".
    std::size_t rootEnd = std::wstring::npos;
    if (full.starts_with(L"\\\\?\\UNC\\")) {
        const std::size_t server = full.find(L'\\', 8);
        if (server != std::wstring::npos)
            rootEnd = std::min(full.find(L'\\', server + 1), full.size());
    } else if (full.starts_with(L"\\\\?\\") && full.size() >= 6 && full[5] == L':') {
        // A drive letter that names no drive is said as such, not as a
        // missing folder.
        const std::wstring root = full.substr(4, 2) + L"\\";
        if (GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR)
            return "there is no drive " + fromPath(full.substr(4, 2)).value_or("");
        rootEnd = 6;
    }
    if (rootEnd == std::wstring::npos)
        return systemMessage(ENOENT);

    // Each missing folder from the root down.
    DWORD error = ERROR_SUCCESS;
    for (std::size_t end = full.size() > rootEnd ? rootEnd : full.size(); end < full.size();) {
        end = std::min(full.find(L'\\', end + 1), full.size());
        const std::wstring step = full.substr(0, end);
        const DWORD attrs = GetFileAttributesW(step.c_str());
        if (attrs != INVALID_FILE_ATTRIBUTES) {
            error = (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0 ? ERROR_SUCCESS : ERROR_DIRECTORY;
            if (error != ERROR_SUCCESS)
                break;
            continue;
        }
        if (!CreateDirectoryW(step.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            error = GetLastError();
            break;
        }
    }
    switch (error) {
    case ERROR_SUCCESS:
        break;
    case ERROR_DIRECTORY:
        return systemMessage(ENOTDIR);
    case ERROR_NOT_READY:
        return "the drive is not ready";
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return "the network share cannot be reached";
    default: {
        const int e = errnoOf(error);
        return e != EIO ? systemMessage(e) : "Windows error " + std::to_string(error);
    }
    }
    const DWORD attrs = GetFileAttributesW(full.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return systemMessage(ENOTDIR);
    return {};
}

PrivateFolder makePrivateFolder()
{
    // Attempts at a name that no folder has yet.
    constexpr int kAttempts = 100;
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH)
        return {std::nullopt, ENOENT};
    const std::wstring base(temp, n);
    for (int i = 0; i < kAttempts; ++i) {
        const std::wstring folder = base + L"xwd2bmp-" + std::to_wstring(GetCurrentProcessId()) +
                                    L"-" + std::to_wstring(GetTickCount64() + static_cast<ULONGLONG>(i));
        // The folder inherits the temporary folder's access, which on
        // Windows is the user's own.
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            std::optional<std::string> path = fromPath(std::filesystem::path(folder));
            if (!path) {
                RemoveDirectoryW(folder.c_str());
                return {std::nullopt, EILSEQ};
            }
            return {std::move(path), 0};
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return {std::nullopt, errnoOf(GetLastError())};
    }
    return {std::nullopt, EEXIST};
}

std::vector<std::string> expandWildcards(const std::vector<std::string>& args)
{
    std::vector<std::string> out;
    bool optionsEnded = false;
    bool valueNext = false;
    for (const std::string& arg : args) {
        const bool isValue = valueNext;
        valueNext = !optionsEnded && takesValue(arg);
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        const bool isOption = !optionsEnded && !arg.empty() && arg[0] == '-';
        const std::size_t start = nameStart(arg);
        if (isValue || isOption || !hasWildcard(std::string_view(arg).substr(start))) {
            out.push_back(arg);
            continue;
        }
        // Every name of the folder is matched here rather than by the
        // system's search, which also matches the short 8.3 names
        // ("*.xwd" would take "a.xwdold" by its short name A~1.XWD).
        const std::string folder = arg.substr(0, start);
        const std::string pattern = arg.substr(start);
        std::vector<std::string> names;
        WIN32_FIND_DATAW found{};
        const std::optional<std::wstring> search = extendedPath(folder.empty() ? "*" : folder + "*");
        const HANDLE h = search ? FindFirstFileW(search->c_str(), &found) : INVALID_HANDLE_VALUE;
        if (h != INVALID_HANDLE_VALUE) {
            do {
                // A name the code page cannot spell is left to the pattern.
                const std::optional<std::string> name = fromPath(std::filesystem::path(found.cFileName));
                if (name && *name != "." && *name != ".." && wildcardMatch(pattern, *name))
                    names.push_back(*name);
            } while (FindNextFileW(h, &found));
            FindClose(h);
        }
        if (names.empty()) {
            out.push_back(arg);
            continue;
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names)
            // A name that would read as an option is named with its folder.
            out.push_back((folder.empty() && name[0] == '-' ? ".\\" : folder) + name);
    }
    return out;
}

}  // namespace rastrex::cli
