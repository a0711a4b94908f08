#include <sys/stat.h>

#include <cerrno>

#include "platform.h"

namespace rastrex::cli {

Looked lookAt(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {std::nullopt, errno};
    FileInfo info;
    info.id = {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    info.bytes = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    return {info, 0};
}

std::filesystem::path toPath(std::string_view native)
{
    return std::filesystem::path(native);
}

std::optional<std::string> fromPath(const std::filesystem::path& path)
{
    return path.native();
}

std::filesystem::path caseFolded(const std::filesystem::path& path)
{
    return path;
}

std::vector<std::string> expandWildcards(const std::vector<std::string>& args)
{
    return args;  // the shell has done it
}

}  // namespace rastrex::cli
