#include <sys/stat.h>

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

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

std::filesystem::path systemPath(const std::filesystem::path& path)
{
    return path;
}

std::vector<Listed> listEntries(const std::filesystem::path& dir, std::error_code& error)
{
    std::vector<Listed> entries;
    std::filesystem::directory_iterator it(dir, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        // The type the listing gave, where it gave one: no path is looked at.
        std::error_code typeError;
        const bool folder = !it->is_symlink(typeError) && it->is_directory(typeError);
        entries.push_back({it->path().filename(), folder, static_cast<bool>(typeError)});
    }
    return entries;
}

std::string makeFolders(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return ec.message();
    if (!std::filesystem::is_directory(folder, ec))
        return std::generic_category().message(ENOTDIR);
    return {};
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
