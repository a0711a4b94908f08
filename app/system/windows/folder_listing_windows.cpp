// Folders as Windows spells and lists them: drive roots ("C:\"), "\"
// between names, names in the program's ANSI code page. The wide functions
// are called with "\\?\" forms, so a folder or a file deeper than MAX_PATH
// is listed and opened like any other. Hidden and system entries are left
// out, as the shell leaves them out by default.
#include "folder_listing.h"

#include <windows.h>

#include <cctype>

#include "long_path.h"

namespace rastrex {

namespace {

constexpr DWORD kHiddenOrSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Errors of a drive without a medium are reported, not asked about.
class QuietErrors {
public:
    QuietErrors() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(old_); }

private:
    UINT old_;
};

template <typename F>
bool forEachEntry(const std::string& folder, F each)
{
    if (folder.empty() || folder.find('\0') != std::string::npos)
        return false;
    std::wstring pattern = extendedPath(folder).value_or(std::wstring());
    if (pattern.empty())
        return false;
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    QuietErrors quiet;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            each(narrowText(name, CP_ACP), data.dwFileAttributes);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

}  // namespace

std::vector<std::string> listFolder(const std::string& folder, EntryKind kind)
{
    std::vector<std::string> names;
    forEachEntry(folder, [&](const std::string& name, DWORD attributes) {
        if ((attributes & kHiddenOrSystem) != 0)
            return;
        const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder == (kind == EntryKind::Folders))
            names.push_back(name);
    });
    return names;
}

bool canListFolder(const std::string& folder)
{
    return forEachEntry(folder, [](const std::string&, DWORD) {});
}

std::string cleanFolderPath(const std::string& path)
{
    if (path.empty() || path.find('\0') != std::string::npos)
        return {};
    std::string in = path;
    // A drive text ("c:", "c: [LABEL]") names that drive's root, as
    // choosing a drive in the drive list opens it.
    if (in.size() >= 2 && in[1] == ':' && (in.size() == 2 || in[2] == ' '))
        in = in.substr(0, 2) + '\\';
    std::string out = narrowText(shownPath(extendedPath(in).value_or(std::wstring())), CP_ACP);
    if (out.empty())
        return {};
    for (char& c : out)
        if (c == '/')
            c = '\\';
    const std::size_t rootLength = rootFolderOf(out).size();
    while (out.size() > rootLength && out.back() == '\\')
        out.pop_back();
    if (out.size() >= 2 && out[1] == ':')
        out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
    return out;
}

std::string rootFolderOf(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':')
        return path.substr(0, 2) + '\\';
    // "\\server\share\" of a network path.
    if (path.size() > 2 && isFolderSeparator(path[0]) && isFolderSeparator(path[1])) {
        const std::size_t server = path.find_first_of("\\/", 2);
        const std::size_t share = server == std::string::npos ? server : path.find_first_of("\\/", server + 1);
        return share == std::string::npos ? folderPrefix(path) : path.substr(0, share + 1);
    }
    return "\\";
}

std::vector<std::string> folderChain(const std::string& folder)
{
    const std::string root = rootFolderOf(folder);
    std::vector<std::string> chain{root};
    for (std::size_t at = folder.find('\\', root.size()); at != std::string::npos; at = folder.find('\\', at + 1))
        chain.push_back(folder.substr(0, at));
    if (folder.size() > root.size())
        chain.push_back(folder);
    return chain;
}

bool folderHolds(const std::string& root, const std::string& path)
{
    // Letter case does not tell folders apart; "C:\\a" holds "C:\\a\\b" but
    // not "C:\\ab".
    if (root.empty() || path.size() < root.size())
        return false;
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, root.c_str(), static_cast<int>(root.size()),
                       path.c_str(), static_cast<int>(root.size())) != CSTR_EQUAL)
        return false;
    return path.size() == root.size() || isFolderSeparator(root.back()) || isFolderSeparator(path[root.size()]);
}

SystemFailure SystemFileSystem::openForReading(const std::string& path)
{
    const std::wstring wide = extendedPath(path).value_or(std::wstring());
    if (wide.empty())
        return {FileFailure::Other, 0};
    QuietErrors quiet;
    // Read access and no more: a file another program holds for writing,
    // or one without read permission, does not open.
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SystemFailure failure = lastSystemFailure();
        if (failure.kind == FileFailure::NoPermission) {
            // A folder refuses this open in the same words.
            const DWORD attributes = GetFileAttributesW(wide.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                failure.kind = FileFailure::FolderInTheWay;
        }
        return failure;
    }
    // A pipe or a device is no file.
    SystemFailure state;
    if (GetFileType(file) != FILE_TYPE_DISK)
        state.kind = FileFailure::NotAFile;
    CloseHandle(file);
    return state;
}

}  // namespace rastrex
