// File-system helpers for tests: a small tmpfs that fills up, a pipe fed
// from a thread, and a snapshot of a folder's entries to compare.
#pragma once

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "rastrex.h"
#include "xwd_recipe.h"

namespace rastrex::test {

// fnRastrex on a dump and a bitmap named as the test's own paths.
inline std::int32_t convert(const std::filesystem::path& in, const std::filesystem::path& out)
{
    return fnRastrex(nativePath(in).c_str(), nativePath(out).c_str());
}

// Hands `write` the bytes of `data`, then `zeros` zero bytes a block at a
// time, until they are all taken, `write` (which says whether the pipe took
// the whole block) fails, or `stopped` is set: the writing side of either
// platform's PipeFeed.
template <class Write>
void feedPadded(const Bytes& data, std::uint64_t zeros, const std::atomic<bool>& stopped, Write write)
{
    write(data.data(), data.size());
    const Bytes block(65536, 0);
    for (std::uint64_t left = zeros; left != 0 && !stopped;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
        if (!write(block.data(), n))
            break;
        left -= n;
    }
}

#if defined(_WIN32)

// No file system of a chosen size can be made from inside a Windows
// program: scripts/windows.sh, as root, maps a drive to a small tmpfs and
// names it in RASTREX_TEST_SMALL_DRIVE ("R:"). Mounted when that drive is
// there and holds no more than the bytes asked for; path() is then this
// process's folder on it (one SmallTmpfs at a time).
class SmallTmpfs {
public:
    explicit SmallTmpfs(std::uint64_t bytes)
    {
        wchar_t drive[4] = {};
        if (GetEnvironmentVariableW(L"RASTREX_TEST_SMALL_DRIVE", drive, 4) != 2 || drive[1] != L':')
            return;
        const std::wstring root = std::wstring(drive, 2) + L"\\";
        ULARGE_INTEGER total{};
        if (!GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr) || total.QuadPart > bytes)
            return;
        const std::wstring p = root + L"rastrex-" + std::to_wstring(GetCurrentProcessId());
        if (CreateDirectoryW(p.c_str(), nullptr))
            path_ = p;
    }
    ~SmallTmpfs()
    {
        if (!path_.empty())
            removeAll(path_);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes `data`, then `zeros` zero bytes, into a named pipe from a thread,
// until they are all written or the reading end is closed. path() names the
// pipe for an open by path.
class PipeFeed {
public:
    explicit PipeFeed(Bytes data, std::uint64_t zeros = 0)
    {
        static std::atomic<unsigned> serial{0};
        path_ = "\\\\.\\pipe\\rastrex-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(serial++);
        pipe_ = CreateNamedPipeA(path_.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                 65536, 65536, 0, nullptr);
        if (pipe_ == INVALID_HANDLE_VALUE)
            throw std::runtime_error("CreateNamedPipe failed");
        writer_ = std::thread([this, data = std::move(data), zeros] {
            if (!ConnectNamedPipe(pipe_, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
                return;
            if (stopped_)
                return;
            feedPadded(data, zeros, stopped_, [this](const std::uint8_t* p, std::size_t n) { return feed(p, n); });
            // Closed, not disconnected: a disconnect drops what the reader
            // has not read yet (Wine's flush does not wait for the reader).
            CloseHandle(pipe_);
            pipe_ = INVALID_HANDLE_VALUE;
        });
    }
    ~PipeFeed() { finish(); }
    PipeFeed(const PipeFeed&) = delete;
    PipeFeed& operator=(const PipeFeed&) = delete;

    std::string path() const { return path_; }

    std::uint64_t finish()
    {
        if (writer_.joinable()) {
            stopped_ = true;
            // A feed still waiting for its reader gets one that goes at once.
            const HANDLE h = CreateFileA(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
            writer_.join();
            if (pipe_ != INVALID_HANDLE_VALUE)
                CloseHandle(pipe_);
        }
        return accepted_;
    }

private:
    bool feed(const std::uint8_t* p, std::size_t n)
    {
        while (n != 0) {
            DWORD wrote = 0;
            if (!WriteFile(pipe_, p, static_cast<DWORD>(n), &wrote, nullptr) || wrote == 0)
                return false;
            accepted_ += wrote;
            p += wrote;
            n -= wrote;
        }
        return true;
    }

    std::string path_;
    HANDLE pipe_ = INVALID_HANDLE_VALUE;
    std::atomic<bool> stopped_{false};
    std::atomic<std::uint64_t> accepted_{0};
    std::thread writer_;
};

#else

// A tmpfs of `bytes` mounted on a fresh folder, where the process may mount
// one (as root); mounted() says whether it is there.
class SmallTmpfs {
public:
    explicit SmallTmpfs(std::uint64_t bytes)
    {
        const std::string options = "size=" + std::to_string(bytes);
        mounted_ = ::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallTmpfs()
    {
        if (mounted_)
            ::umount2(dir_.path().c_str(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return mounted_; }
    const std::filesystem::path& path() const { return dir_.path(); }

private:
    TempDir dir_;
    bool mounted_ = false;
};

// Writes `data`, then `zeros` zero bytes, into a pipe from a thread, until
// they are all written or the reading end is closed. path() names the
// reading end for an open by path.
class PipeFeed {
public:
    explicit PipeFeed(Bytes data, std::uint64_t zeros = 0)
    {
        signal(SIGPIPE, SIG_IGN);  // a closed reading end ends the feed with EPIPE
        if (::pipe(fds_) != 0)
            throw std::runtime_error("pipe failed");
        writer_ = std::thread([this, data = std::move(data), zeros] {
            feedPadded(data, zeros, stopped_, [this](const std::uint8_t* p, std::size_t n) { return feed(p, n); });
            ::close(fds_[1]);
        });
    }
    // Closes the reading end, which ends the feed, and waits for it.
    ~PipeFeed() { finish(); }
    PipeFeed(const PipeFeed&) = delete;
    PipeFeed& operator=(const PipeFeed&) = delete;

    std::string path() const { return "/proc/self/fd/" + std::to_string(fds_[0]); }

    // Ends the feed; the bytes the pipe took (some of them maybe never read).
    std::uint64_t finish()
    {
        if (writer_.joinable()) {
            stopped_ = true;
            ::close(fds_[0]);
            writer_.join();
        }
        return accepted_;
    }

private:
    bool feed(const std::uint8_t* p, std::size_t n)
    {
        while (n != 0) {
            const ssize_t got = ::write(fds_[1], p, n);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            accepted_ += static_cast<std::uint64_t>(got);
            p += got;
            n -= static_cast<std::size_t>(got);
        }
        return true;
    }

    int fds_[2] = {-1, -1};
    std::atomic<bool> stopped_{false};
    std::atomic<std::uint64_t> accepted_{0};
    std::thread writer_;
};

#endif

// What a folder entry is: its kind, permission bits, owner, and what it
// holds (a regular file's bytes) or names (a link's target).
struct Entry {
    std::filesystem::file_type type = std::filesystem::file_type::none;
    unsigned mode = 0;
    unsigned owner = 0, group = 0;
    std::string target;
    Bytes bytes;
    bool operator==(const Entry&) const = default;
};
using FolderState = std::map<std::string, Entry>;

inline Entry entryAt(const std::filesystem::path& p)
{
    namespace fs = std::filesystem;
    Entry e;
#if defined(_WIN32)
    // Kind and content; Windows keeps no permission bits or owners of this kind.
    std::error_code ec;
    e.type = fs::symlink_status(p, ec).type();
    if (e.type == fs::file_type::symlink)
        e.target = fs::read_symlink(p, ec).string();
    else if (e.type == fs::file_type::regular)
        e.bytes = readFile(p);
    return e;
#else
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0)
        return e;
    e.type = fs::symlink_status(p).type();
    e.mode = st.st_mode & 07777;
    e.owner = st.st_uid;
    e.group = st.st_gid;
    if (S_ISLNK(st.st_mode))
        e.target = fs::read_symlink(p).string();
    else if (S_ISREG(st.st_mode))
        e.bytes = readFile(p);
    return e;
#endif
}

inline FolderState folderState(const std::filesystem::path& dir)
{
    FolderState s;
    for (const std::filesystem::path& name : namesIn(dir))
        s[name.string()] = entryAt(anyLength(dir / name));
    return s;
}

}  // namespace rastrex::test
