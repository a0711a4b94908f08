#include <sys/stat.h>
#if defined(__linux__)
#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#endif
#include <unistd.h>

#include <iconv.h>
#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "path_names.h"
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

namespace {

// Links followed before a chain is taken for a loop, as the kernel does.
constexpr int kMaxLinks = 40;

// The folder that holds what `path` names, as spelled: "." for a bare name.
std::string folderOf(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return posixFolderOf(path);
}

#if defined(__linux__)
// File systems of devices, processes and the kernel's own state, by the
// magic number statfs gives.
struct PseudoKind {
    unsigned long magic;
    const char* name;
};
constexpr PseudoKind kPseudoKinds[] = {
    {PROC_SUPER_MAGIC, "proc"},        {SYSFS_MAGIC, "sysfs"},
    {DEVPTS_SUPER_MAGIC, "devpts"},    {CGROUP_SUPER_MAGIC, "cgroup"},
    {CGROUP2_SUPER_MAGIC, "cgroup2"},  {DEBUGFS_MAGIC, "debugfs"},
    {TRACEFS_MAGIC, "tracefs"},        {SECURITYFS_MAGIC, "securityfs"},
    {PSTOREFS_MAGIC, "pstore"},        {BPF_FS_MAGIC, "bpf"},
    {EFIVARFS_MAGIC, "efivarfs"},      {SELINUX_MAGIC, "selinuxfs"},
    {SMACK_MAGIC, "smackfs"},          {BINFMTFS_MAGIC, "binfmt_misc"},
    {NSFS_MAGIC, "nsfs"},              {USBDEVICE_SUPER_MAGIC, "usbdevfs"},
    {0x62656570, "configfs"},          {0x19800202, "mqueue"},
    {0x65735543, "fusectl"},
};

// The type the system's mount table gives the file system of device
// `device`; empty when it cannot be read.
std::string mountedType(dev_t device)
{
    std::ifstream table("/proc/self/mountinfo");
    const std::string wanted =
        std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::string line;
    while (std::getline(table, line)) {
        // "36 35 98:0 /root /mount options... - TYPE SOURCE OPTIONS"
        std::size_t at = line.find(' ');
        at = at == std::string::npos ? at : line.find(' ', at + 1);
        if (at == std::string::npos || line.compare(at + 1, wanted.size() + 1, wanted + " ") != 0)
            continue;
        const std::size_t dash = line.find(" - ", at);
        if (dash == std::string::npos)
            continue;
        const std::size_t type = dash + 3;
        return line.substr(type, line.find(' ', type) - type);
    }
    return {};
}
#endif

}  // namespace

std::string deviceFileSystem(const std::string& path)
{
#if defined(__linux__)
    // A folder that is yet to be made is judged by the one it goes into.
    std::string at = path.empty() ? "." : path;
    struct statfs fs {};
    while (::statfs(at.c_str(), &fs) != 0) {
        const std::string up = folderOf(at);
        if ((errno != ENOENT && errno != ENOTDIR) || up == at)
            return {};
        at = up;
    }
    const auto type = static_cast<unsigned long>(fs.f_type);
    for (const PseudoKind& kind : kPseudoKinds)
        if (type == kind.magic)
            return kind.name;
    // devtmpfs, which /dev is, gives the magic number of tmpfs or ramfs:
    // only the mount table tells it from /tmp or /dev/shm.
    struct stat st {};
    if ((type == TMPFS_MAGIC || type == RAMFS_MAGIC) && ::stat(at.c_str(), &st) == 0 &&
        mountedType(st.st_dev) == "devtmpfs")
        return "devtmpfs";
#else
    (void)path;
#endif
    return {};
}

bool namesNoFile(const std::string& path)
{
    std::string at = path;
    for (int links = 0; links < kMaxLinks; ++links) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0)
            return false;  // the caller says why it cannot be reached
        if (!S_ISLNK(st.st_mode))
            return !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
        // A link among devices or processes (/dev/stdin, /dev/fd/0,
        // /proc/self/fd/0) stands for a descriptor or a device, whatever
        // file it leads to now.
        const std::string folder = folderOf(at);
        if (!deviceFileSystem(folder).empty())
            return true;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(at.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return false;
        target.resize(static_cast<std::size_t>(n));
        at = target.front() == '/' ? target : folder + "/" + target;
    }
    return false;  // a loop of links: the caller says so
}

bool namesAreUtf8()
{
    return true;  // Debian's locales spell names in UTF-8
}

std::optional<std::string> consoleTextAsUtf8(std::string_view)
{
    return std::nullopt;  // names are bytes, whatever their encoding
}

std::optional<std::string> codePageTextAsUtf8(std::string_view text, unsigned codePage)
{
    const std::string name = "CP" + std::to_string(codePage);
    const iconv_t converter = ::iconv_open("UTF-8", name.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    // A byte of a code page is at most a character of three UTF-8 bytes.
    std::string out(3 * text.size(), '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* at = out.data();
    std::size_t outLeft = out.size();
    const std::size_t converted = ::iconv(converter, &in, &inLeft, &at, &outLeft);
    ::iconv_close(converter);
    if (converted == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

bool terminalTakesEscapes()
{
    // The dumb terminal (an editor's shell buffer, a serial line) moves to
    // the start of a line but erases nothing.
    const char* term = std::getenv("TERM");
    return term != nullptr && *term != '\0' && std::string_view(term) != "dumb";
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

std::vector<std::string> expandWildcards(const std::vector<std::string>& args)
{
    return args;  // the shell has done it
}

}  // namespace rastrex::cli
