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

#include "folder_listing.h"
#include "wildcard.h"

namespace rastrex::win32 {

namespace {

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
    for (std::string& name : listFolder(folder, EntryKind::Files))
        if (matchesPattern(name, patterns))
            names.push_back(std::move(name));
    sortNames(names);
    return names;
}

std::vector<std::string> listSubfolders(const std::string& folder)
{
    std::vector<std::string> names = listFolder(folder, EntryKind::Folders);
    sortNames(names);
    return names;
}

bool canList(const std::string& folder)
{
    return canListFolder(folder);
}

std::string absoluteFolder(const std::string& path)
{
    return cleanFolderPath(path);
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

RecycleBin::Outcome ShellRecycleBin::moveToTrash(const std::string& path, NativeHandle owner)
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

std::vector<std::string> libraryCandidates()
{
    std::vector<std::string> out;
    const std::string folder = programFolder();
    if (!folder.empty())
        out.push_back(folder + '\\' + kLibraryFileName);
    out.push_back(kLibraryFileName);
    return out;
}

}  // namespace rastrex::win32
