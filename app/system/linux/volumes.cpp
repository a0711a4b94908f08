#include "volumes.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace rastrex {

namespace {

// File systems that hold no files of the user's: kernel interfaces, memory
// file systems, container layers and read-only package images.
bool isPseudoFileSystem(const std::string& type)
{
    static const std::set<std::string> types{
        "proc", "sysfs", "tmpfs", "devtmpfs", "devpts", "ramfs", "overlay",
        "squashfs", "cgroup", "cgroup2", "securityfs", "pstore", "debugfs",
        "tracefs", "bpf", "mqueue", "hugetlbfs", "configfs", "fusectl",
        "autofs", "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs",
        "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs", "nfsd", "none"};
    return types.count(type) != 0;
}

// Network file systems: real volumes whose source is not a local device.
bool isNetworkFileSystem(const std::string& type)
{
    static const std::set<std::string> types{"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p"};
    return types.count(type) != 0;
}

bool startsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool isUnder(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return startsWith(path, "/");
    return path == folder || startsWith(path, folder + "/");
}

// Folders of the system itself, where a user picks no pictures from; the
// desktop's removable media under /run/media are the exception.
bool isSystemFolder(const std::string& mountPoint)
{
    static const char* const folders[] = {"/proc", "/sys", "/dev", "/run", "/boot", "/etc",
                                          "/snap", "/var/lib", "/var/snap", "/tmp"};
    if (isUnder(mountPoint, "/run/media"))
        return false;
    return std::any_of(std::begin(folders), std::end(folders),
                       [&](const char* folder) { return isUnder(mountPoint, folder); });
}

bool isRealVolume(const MountEntry& m)
{
    if (isPseudoFileSystem(m.fsType))
        return false;
    return startsWith(m.source, "/dev/") || isNetworkFileSystem(m.fsType);
}

// The value of the digits of `text` at `at` in `base`, or -1.
int digitsValue(const std::string& text, std::size_t at, std::size_t count, int base)
{
    if (at + count > text.size())
        return -1;
    const std::string digits = text.substr(at, count);
    char* end = nullptr;
    const long value = std::strtol(digits.c_str(), &end, base);
    return end == digits.c_str() + count ? static_cast<int>(value) : -1;
}

// Mount points escape blanks, tabs, newlines and backslashes as \ooo; udev
// writes unsafe characters of a label as \xHH.
std::string unescape(const std::string& field, bool hex)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const int code = hex ? (field[i + 1] == 'x' ? digitsValue(field, i + 2, 2, 16) : -1)
                                 : digitsValue(field, i + 1, 3, 8);
            if (code >= 0) {
                out += static_cast<char>(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

const MountEntry* deepestHolding(const std::vector<MountEntry>& mounts, const std::string& path)
{
    const MountEntry* best = nullptr;
    for (const MountEntry& m : mounts)
        if (isUnder(path, m.mountPoint) && (!best || m.mountPoint.size() > best->mountPoint.size()))
            best = &m;
    return best;
}

}  // namespace

std::vector<MountEntry> parseMountInfo(const std::string& text)
{
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::vector<MountEntry> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        const std::vector<std::string> f{std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
        const auto dash = std::find(f.begin(), f.end(), "-");
        const std::size_t at = static_cast<std::size_t>(dash - f.begin());
        if (dash == f.end() || at < 6 || at + 2 >= f.size())
            continue;
        MountEntry m{f[2], unescape(f[3], false), unescape(f[4], false), f[at + 1], unescape(f[at + 2], false)};
        if (!startsWith(m.mountPoint, "/"))
            continue;
        out.push_back(std::move(m));
    }
    return out;
}

std::vector<Volume> filterVolumes(const std::vector<MountEntry>& mounts, const std::string& home,
                                  const std::map<std::string, std::string>& labels)
{
    std::vector<Volume> out;
    std::set<std::string> roots;
    std::set<std::string> devices;
    auto add = [&](const MountEntry& m) {
        if (!roots.insert(m.mountPoint).second)
            return;
        devices.insert(m.device);
        const auto label = labels.find(m.source);
        out.push_back(Volume{m.mountPoint, label == labels.end() ? std::string() : label->second});
    };

    // "/" first, whatever it is (in a container it is often an overlay).
    MountEntry rootEntry{"", "/", "/", "", ""};
    for (const MountEntry& m : mounts)
        if (m.mountPoint == "/")
            rootEntry = m;  // the last mount on "/" is the one in effect
    add(rootEntry);

    // Then the volume of the user's home, where the user's own files live.
    if (const MountEntry* h = deepestHolding(mounts, home))
        add(*h);

    // Then every other real volume by mount point; a mount of the whole file
    // system wins over bind mounts of its folders on the same device.
    std::vector<MountEntry> rest;
    for (const MountEntry& m : mounts)
        if (isRealVolume(m) && !isSystemFolder(m.mountPoint))
            rest.push_back(m);
    std::stable_sort(rest.begin(), rest.end(), [](const MountEntry& a, const MountEntry& b) {
        const bool wholeA = a.root == "/";
        const bool wholeB = b.root == "/";
        if (wholeA != wholeB)
            return wholeA;
        return a.mountPoint < b.mountPoint;
    });
    std::vector<MountEntry> chosen;
    for (const MountEntry& m : rest) {
        if (devices.count(m.device) != 0 || roots.count(m.mountPoint) != 0)
            continue;
        devices.insert(m.device);
        chosen.push_back(m);
    }
    std::sort(chosen.begin(), chosen.end(),
              [](const MountEntry& a, const MountEntry& b) { return a.mountPoint < b.mountPoint; });
    for (const MountEntry& m : chosen)
        add(m);
    return out;
}

std::vector<Volume> systemVolumes()
{
    std::ifstream file("/proc/self/mountinfo", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};

    // Labels of the local devices, from the links udev keeps.
    std::map<std::string, std::string> labels;
    std::error_code error;
    for (const auto& link : std::filesystem::directory_iterator("/dev/disk/by-label", error)) {
        const std::filesystem::path device = std::filesystem::canonical(link.path(), error);
        if (!error && !device.empty())
            labels.emplace(device.string(), unescape(link.path().filename().string(), true));
    }
    // The home folder as the desktop names it; the root without one.
    const char* home = std::getenv("HOME");
    return filterVolumes(parseMountInfo(text), home != nullptr && *home != '\0' ? home : "/", labels);
}

}  // namespace rastrex
