#include <sys/stat.h>

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>

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

std::optional<std::string> fromUtf8(std::string_view utf8)
{
    return std::string(utf8);  // names are bytes here
}

PrivateFolder makePrivateFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    pattern += "/xwd2bmp-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)  // made with mode 0700
        return {std::nullopt, errno};
    return {pattern, 0};
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
