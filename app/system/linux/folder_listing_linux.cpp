#include "folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace rastrex {

namespace {

bool isKind(int dirFd, const char* name, EntryKind kind)
{
    struct stat st {};
    // Links count as what they lead to; a dangling one is neither.
    if (::fstatat(dirFd, name, &st, 0) != 0)
        return false;
    return kind == EntryKind::Files ? S_ISREG(st.st_mode) : S_ISDIR(st.st_mode);
}

}  // namespace

std::vector<std::string> listFolder(const std::string& folder, EntryKind kind)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.')
            continue;  // hidden, and "." and ".."
        // d_type spares a stat for most entries; links and unknown types
        // are asked.
        switch (entry->d_type) {
        case DT_REG:
            if (kind == EntryKind::Files)
                names.emplace_back(name);
            break;
        case DT_DIR:
            if (kind == EntryKind::Folders)
                names.emplace_back(name);
            break;
        case DT_LNK:
        case DT_UNKNOWN:
            if (isKind(fd, name, kind))
                names.emplace_back(name);
            break;
        default:
            break;
        }
    }
    ::closedir(dir);
    return names;
}

bool canListFolder(const std::string& folder)
{
    struct stat st {};
    return !folder.empty() && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(folder.c_str(), R_OK | X_OK) == 0;
}

std::string cleanFolderPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::path p(path);
    if (p.is_relative()) {
        const std::filesystem::path current = std::filesystem::current_path(error);
        if (!error)
            p = current / p;
    }
    std::string clean = p.lexically_normal().string();
    while (clean.size() > 1 && clean.back() == '/')
        clean.pop_back();
    return clean.empty() ? std::string("/") : clean;
}

std::string rootFolderOf(const std::string&)
{
    return "/";
}

std::vector<std::string> folderChain(const std::string& folder)
{
    std::vector<std::string> chain{"/"};
    for (std::size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1))
        chain.push_back(folder.substr(0, at));
    if (folder != "/")
        chain.push_back(folder);
    return chain;
}

bool folderHolds(const std::string& root, const std::string& path)
{
    if (root == "/")
        return !path.empty() && path.front() == '/';
    return path == root || path.compare(0, root.size() + 1, root + '/') == 0;
}

SystemFailure SystemFileSystem::openForReading(const std::string& path)
{
    // O_NONBLOCK keeps a named pipe from holding the open until a writer comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return lastSystemFailure();
    struct stat st {};
    SystemFailure state;
    if (::fstat(fd, &st) != 0)
        state = lastSystemFailure();
    else if (S_ISDIR(st.st_mode))
        state.kind = FileFailure::FolderInTheWay;
    else if (!S_ISREG(st.st_mode))
        state.kind = FileFailure::NotAFile;
    ::close(fd);
    return state;
}

}  // namespace rastrex
