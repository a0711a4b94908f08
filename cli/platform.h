// What xwd2bmp needs to know of the system it runs on: how a file is told
// apart from another, how the 8-bit paths of the command line and of the
// library meet std::filesystem, and (on Windows, where the shell leaves them)
// how wildcards in arguments are expanded.
#pragma once

#include <climits>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace rastrex::cli {

// Names one file whatever path leads to it: device and inode, or on Windows
// the volume serial number and the file index.
using FileId = std::pair<std::uint64_t, std::uint64_t>;

struct FileInfo {
    FileId id{};
    std::uint64_t bytes = 0;
};

// The file a path names, following links; on failure an errno value.
struct Looked {
    std::optional<FileInfo> info;
    int error = 0;
};
Looked lookAt(const std::string& path);

// The 8-bit path strings of the command line and of fnRastrex are in the
// system's code page (on Windows the ANSI code page, which std::filesystem
// does not use for narrow strings); these convert between the two.
std::filesystem::path toPath(std::string_view native);
// Empty when the code page cannot spell the path.
std::optional<std::string> fromPath(const std::filesystem::path& path);

// A PATH read from a list in UTF-8 (--files-from), in the system's code
// page; empty when the code page cannot spell it.
std::optional<std::string> fromUtf8(std::string_view utf8);

// What a list of PATHs that is not UTF-8 says, in UTF-8: on Windows read in
// the code page that console programs write (`dir /b > list` in cmd): the
// console's, or without a console the OEM code page it starts in. Empty
// where the list's bytes are the names themselves, or it cannot be read so.
std::optional<std::string> consoleTextAsUtf8(std::string_view text);

// Text in Windows code page `codePage` (932: Japanese), in UTF-8; empty
// when it is not in that code page, or the system cannot read it (on
// Windows through the system, elsewhere through iconv).
std::optional<std::string> codePageTextAsUtf8(std::string_view text, unsigned codePage);

// Whether the system spells names in UTF-8, so that a name that is not UTF-8
// is shown with its stray bytes escaped.
bool namesAreUtf8();

// The kind of file system `path` lies on when it holds devices or the
// system's view of its processes and kernel (devtmpfs, proc, sysfs,
// devpts...), where no bitmap belongs; empty for any other. A path that
// does not exist yet is judged by the nearest folder above it that does.
std::string deviceFileSystem(const std::string& path);

// Whether `path` names no file of its own: a device, a pipe, a socket, or a
// link among devices or processes (/dev/stdin, /dev/fd/0, /proc/self/fd/0),
// or one leading to such, whatever stands behind it. False for a file, a
// folder, and a path that cannot be looked at.
bool namesNoFile(const std::string& path);

// Whether the terminal standard error shows takes escape sequences: not
// where TERM is unset or "dumb". On Windows the console, which offers no
// progress bar unless it takes them.
bool terminalTakesEscapes();

// `path` as the file functions take it at any length: on Windows its
// absolute \\?\ form, elsewhere `path` itself. Only for handing to the
// system; messages show paths as the user spelled them.
std::filesystem::path systemPath(const std::filesystem::path& path);

// The longest path the system takes, counted in the units of its native
// path strings, and what those are called in a message.
#if defined(_WIN32)
// The \\?\ form: 32,767 UTF-16 units, "\\?\UNC\" among them.
inline constexpr std::size_t kPathLimit = 32767 - 8;
inline constexpr const char* kPathUnits = "characters";
#else
inline constexpr std::size_t kPathLimit = PATH_MAX;  // the terminating zero included
inline constexpr const char* kPathUnits = "bytes";
#endif

// An entry of a folder as its listing gives it.
struct Listed {
    std::filesystem::path name;
    bool folder = false;       // a folder, not a link to one
    bool typeUnknown = false;  // the listing did not tell
};
// The entries of folder `dir` but . and .., at any path length; `error` is
// set when it cannot be read (to the end).
std::vector<Listed> listEntries(const std::filesystem::path& dir, std::error_code& error);

// Makes `folder` and the folders it lies in; empty when it is a folder
// then, else why it is not, to be shown to the user.
std::string makeFolders(const std::filesystem::path& folder);

// Makes a new folder that only this user may enter, in the system's folder
// for temporary files; its path, or an errno value on failure.
struct PrivateFolder {
    std::optional<std::string> path;
    int error = 0;
};
PrivateFolder makePrivateFolder();

// The arguments after argv[0], with every PATH whose file-name part holds a
// * or ? replaced by the names it matches, in name order; a pattern that
// matches nothing is kept as it is. Only on Windows, whose shell does not
// expand them; elsewhere the arguments are returned unchanged.
std::vector<std::string> expandWildcards(const std::vector<std::string>& args);

}  // namespace rastrex::cli
