#include "windows_system.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "folder_listing.h"
#include "long_path.h"
#include "path_names.h"
#include "wildcard.h"

namespace rastrex::windows {

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
    return wideText(text, CP_ACP);
}

std::string narrow(const std::wstring& text)
{
    return narrowText(text, CP_ACP);
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
    return std::string(cutAtLastSeparator(std::string_view(buffer, n), "\\/").folder);
}

std::string startFolder(const std::string& current, const std::string& program, const std::string& documents)
{
    if (documents.empty() || program.empty())
        return current;
    const std::wstring here = widen(absoluteFolder(current)), own = widen(absoluteFolder(program));
    const bool inProgramFolder =
        CompareStringOrdinal(here.c_str(), static_cast<int>(here.size()), own.c_str(), static_cast<int>(own.size()),
                             TRUE) == CSTR_EQUAL;
    return inProgramFolder ? documents : current;
}

void enterStartFolder()
{
    wchar_t* documents = nullptr;
    std::string documentsPath;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents)))
        documentsPath = narrow(documents);
    CoTaskMemFree(documents);
    const std::string current = absoluteFolder(".");
    const std::string start = startFolder(current, programFolder(), documentsPath);
    if (start != current)
        SetCurrentDirectoryW(widen(start).c_str());
}

// ------------------------------------------------------------ recycle bin

namespace {

// The shell takes no path of MAX_PATH characters or more. A longer one is
// handed over with its folder in the short (8.3) form, which names the same
// folder, and the file's own name, which the bin gives back on restoring.
// Empty when even that does not fit.
std::wstring shellPathFor(const std::string& path)
{
    const std::wstring full = extendedPath(path).value_or(std::wstring());
    if (full.empty())
        return {};
    const std::wstring plain = shownPath(full);
    if (plain.size() < MAX_PATH)
        return plain;
    const PathCut<wchar_t> cut = cutAtLastSeparator(std::wstring_view(full), L"\\");
    const std::wstring folder(cut.folder);
    DWORD n = GetShortPathNameW(folder.c_str(), nullptr, 0);
    if (n == 0)
        return {};
    std::wstring shortFolder(n, L'\0');
    n = GetShortPathNameW(folder.c_str(), shortFolder.data(), n);
    if (n == 0 || n >= shortFolder.size())
        return {};
    shortFolder.resize(n);
    const std::wstring shortened = shownPath(shortFolder) + L'\\' + std::wstring(cut.name);
    return shortened.size() < MAX_PATH ? shortened : std::wstring();
}

// The shell's results that are older than Win32's error codes: the shell
// returns them having shown nothing (DE_SAMEFILE 0x71 to DE_SRC_IS_CDRECORD
// 0x88, DE_ERROR_MAX 0xB7, 0x402 and the ERRORONDEST family 0x10000).
bool comesWithoutUi(int result)
{
    return (result >= 0x71 && result <= 0x88) || result == 0xB7 || result == 0x402 ||
           (result & ~0xFFFF) == 0x10000;
}

std::string shellErrorText(int result)
{
    switch (result) {
    case 0x78:  // DE_ACCESSDENIEDSRC
        return "ごみ箱に移動する権限がない。";
    case 0x79:  // DE_PATHTOODEEP
    case 0x81:  // DE_FILENAMETOOLONG
        return "パスが長すぎる。";
    case 0x7C:  // DE_INVALIDFILES
    case 0x402:
        return "ファイルが見つからないか、名前が正しくない。";
    case 0x86:  // DE_SRC_IS_CDROM
    case 0x87:  // DE_SRC_IS_DVD
    case 0x88:  // DE_SRC_IS_CDRECORD
        return "書き込めないディスクにある。";
    default: {
        char code[32];
        std::snprintf(code, sizeof code, "0x%X", static_cast<unsigned>(result));
        return std::string("シェルのエラー ") + code + "。";
    }
    }
}

}  // namespace

RecycleBin::Outcome ShellRecycleBin::moveToTrash(const std::string& path, NativeHandle owner)
{
    using ShFileOperation = int(WINAPI*)(SHFILEOPSTRUCTW*);
    // Bound at the first call and kept for the rest of the run.
    static const ShFileOperation shFileOperation = [] {
        HMODULE shell = LoadLibraryW(L"shell32");
        return shell == nullptr
                   ? nullptr
                   : reinterpret_cast<ShFileOperation>(
                         reinterpret_cast<void*>(GetProcAddress(shell, "SHFileOperationW")));
    }();
    Outcome out;
    if (shFileOperation == nullptr) {
        out.reason = "shell32 に SHFileOperationW がない。";
        return out;
    }
    const std::wstring shellPath = shellPathFor(path);
    if (shellPath.empty()) {
        out.reason = "パスが長すぎて、シェルが扱えない。ファイルはそのまま残した。";
        return out;
    }
    // The shell takes a list of names, each closed by a zero, the list
    // closed by one more.
    std::wstring from = shellPath;
    from.push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.hwnd = static_cast<HWND>(owner);
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    op.fFlags = FOF_ALLOWUNDO;
    op.fAnyOperationsAborted = FALSE;
    op.hNameMappings = nullptr;
    op.lpszProgressTitle = nullptr;
    const int result = shFileOperation(&op);
    constexpr int kOperationCancelled = 0x75;  // DE_OPCANCELLED
    // No in the shell's question, or Cancel in its error box: the user's
    // answer, not moved, nothing more to tell.
    if (op.fAnyOperationsAborted || result == ERROR_CANCELLED || result == kOperationCancelled)
        return out;
    if (result == 0) {
        // Skip in the shell's error box also ends in success, the file
        // left where it was: the user's answer again.
        out.moved = GetFileAttributesW(extendedPath(path).value_or(std::wstring()).c_str()) == INVALID_FILE_ATTRIBUTES;
        return out;
    }
    out.reason = shellErrorText(result);
    // Any other failure the shell has shown in its own error box.
    out.toldUser = !comesWithoutUi(result);
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

}  // namespace rastrex::windows
