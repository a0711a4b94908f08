#include "windows_system.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#undef MessageBox

#include <algorithm>
#include <cctype>
#include <cstring>

#include "rastrex.h"
#include "wildcard.h"

namespace rastrex::win32 {

namespace {

std::string withSeparator(const std::string& folder)
{
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder;
    return folder + '\\';
}

// Calls `each` with every entry of `folder` the file search gives.
template <typename F>
bool forEachEntry(const std::string& folder, F each)
{
    if (folder.empty() || folder.find('\0') != std::string::npos)
        return false;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileExA((withSeparator(folder) + "*").c_str(), FindExInfoBasic, &data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        each(name, data.dwFileAttributes);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
}

// Sorts as Explorer's name column does: letter case ignored, and names that
// compare equal that way in byte order, so the order is total.
void sortNames(std::vector<std::string>& names)
{
    std::vector<std::pair<std::wstring, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& n : names)
        keyed.emplace_back(widen(n), std::move(n));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int c = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.first.c_str(),
                                     static_cast<int>(a.first.size()), b.first.c_str(),
                                     static_cast<int>(b.first.size()));
        if (c != CSTR_EQUAL)
            return c == CSTR_LESS_THAN;
        return a.second < b.second;
    });
    names.clear();
    for (auto& k : keyed)
        names.push_back(std::move(k.second));
}

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::string lastErrorText(DWORD code)
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

std::wstring widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

std::vector<Drive> systemDrives()
{
    std::vector<Drive> drives;
    char buffer[512];
    const DWORD n = GetLogicalDriveStringsA(sizeof buffer, buffer);
    if (n == 0 || n > sizeof buffer)
        return drives;
    // A drive without a medium must not make Windows ask for one.
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (const char* p = buffer; *p != '\0'; p += std::strlen(p) + 1) {
        Drive d;
        d.root = p;
        std::string text = d.root.substr(0, 2);
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        char label[MAX_PATH + 1] = {};
        const UINT type = GetDriveTypeA(p);
        if (type == DRIVE_REMOTE) {
            char remote[MAX_PATH + 1] = {};
            DWORD size = sizeof remote;
            char local[3] = {p[0], ':', '\0'};
            if (WNetGetConnectionA(local, remote, &size) == NO_ERROR && remote[0] != '\0')
                text += std::string(" [") + remote + "]";
        } else if (GetVolumeInformationA(p, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0) &&
                   label[0] != '\0') {
            text += std::string(" [") + label + "]";
        }
        d.text = text;
        drives.push_back(std::move(d));
    }
    SetErrorMode(oldMode);
    return drives;
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& patterns)
{
    std::vector<std::string> names;
    forEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || (attributes & kHiddenOrSystem) != 0)
            return;
        if (matchesPattern(name, patterns))
            names.push_back(name);
    });
    sortNames(names);
    return names;
}

std::vector<std::string> listSubfolders(const std::string& folder)
{
    std::vector<std::string> names;
    forEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & kHiddenOrSystem) == 0)
            names.push_back(name);
    });
    sortNames(names);
    return names;
}

bool canList(const std::string& folder)
{
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const bool ok = forEachEntry(folder, [](const std::string&, DWORD) {});
    SetErrorMode(oldMode);
    return ok;
}

std::string absoluteFolder(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return {};
    std::string in = path;
    // A drive text: its letter and colon name the drive's current folder.
    if (in.size() >= 2 && in[1] == ':' && (in.size() == 2 || in[2] == ' '))
        in = in.substr(0, 2);
    char buffer[MAX_PATH * 4];
    const DWORD n = GetFullPathNameA(in.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer)
        return {};
    std::string out(buffer, n);
    for (char& c : out)
        if (c == '/')
            c = '\\';
    // "C:\" keeps its separator; "C:\x\" loses it.
    while (out.size() > 3 && out.back() == '\\')
        out.pop_back();
    if (out.size() == 2 && out[1] == ':')
        out += '\\';
    if (out.size() >= 2 && out[1] == ':')
        out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
    return out;
}

std::string programFolder()
{
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer)
        return {};
    std::string path(buffer, n);
    const std::size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

// ------------------------------------------------------------ recycle bin

Trash::Outcome RecycleBin::moveToTrash(const std::string& path, NativeHandle owner)
{
    using ShFileOperation = int(WINAPI*)(SHFILEOPSTRUCTA*);
    // Bound at the first call and kept for the rest of the run.
    static const ShFileOperation shFileOperation = [] {
        HMODULE shell = LoadLibraryA("shell32");
        return shell == nullptr
                   ? nullptr
                   : reinterpret_cast<ShFileOperation>(
                         reinterpret_cast<void*>(GetProcAddress(shell, "SHFileOperationA")));
    }();
    Outcome out;
    if (shFileOperation == nullptr) {
        out.reason = "shell32 に SHFileOperationA がない。";
        return out;
    }
    // The shell takes a list of names, each closed by a zero, the list
    // closed by one more.
    std::string from = path;
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op{};
    op.hwnd = static_cast<HWND>(owner);
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    op.fFlags = FOF_ALLOWUNDO;
    op.fAnyOperationsAborted = FALSE;
    op.hNameMappings = nullptr;
    op.lpszProgressTitle = nullptr;
    const int result = shFileOperation(&op);
    if (result == 0 && !op.fAnyOperationsAborted)
        out.moved = true;
    else if (result != 0 && !op.fAnyOperationsAborted)
        out.reason = "シェルのエラー " + std::to_string(result);
    // Declined in the shell's own question: not moved, nothing to tell.
    return out;
}

// ------------------------------------------------------------- file probe

bool WindowsFileSystem::opensAsRegularFile(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    SetErrorMode(oldMode);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // A folder never opens this way; a pipe or a device is no file.
    const bool regular = GetFileType(file) == FILE_TYPE_DISK;
    CloseHandle(file);
    return regular;
}

// ---------------------------------------------------------------- library

WindowsConverterLibrary::WindowsConverterLibrary(std::vector<std::string> candidates)
    : candidates_(std::move(candidates))
{
}

std::vector<std::string> WindowsConverterLibrary::defaultCandidates()
{
    std::vector<std::string> out;
    const std::string folder = programFolder();
    if (!folder.empty())
        out.push_back(folder + '\\' + kLibraryFileName);
    out.push_back(kLibraryFileName);
    return out;
}

bool WindowsConverterLibrary::bind(std::string* reason)
{
    if (fn_ != nullptr)
        return true;
    std::string failures;
    for (const std::string& candidate : candidates_) {
        HMODULE library = LoadLibraryA(candidate.c_str());
        if (library == nullptr) {
            failures += "\r" + candidate + ": " + lastErrorText(GetLastError());
            continue;
        }
        void* fn = reinterpret_cast<void*>(GetProcAddress(library, "fnRastrex"));
        if (fn == nullptr) {
            failures += "\r" + candidate + " に fnRastrex がない。";
            FreeLibrary(library);
            continue;
        }
        fn_ = fn;  // the library stays loaded until the program ends
        return true;
    }
    if (reason != nullptr)
        *reason = std::string("変換ライブラリ ") + kLibraryFileName + " を読み込めなかったぞ。" + failures;
    return false;
}

std::int32_t WindowsConverterLibrary::convert(const std::string& xwdPath, const std::string& bmpPath)
{
    if (fn_ == nullptr && !bind(nullptr))
        return kNotBound;
    using Fn = std::int32_t(RASTREX_CALL*)(const char*, const char*);
    return reinterpret_cast<Fn>(fn_)(xwdPath.c_str(), bmpPath.c_str());
}

}  // namespace rastrex::win32
