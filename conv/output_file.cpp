#include "output_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>

#include "path_names.h"
#include "system_error.h"

#if defined(_WIN32)
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "long_path.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rastrex {

namespace {

// Names tried for the new file; each is taken only if no file has it yet.
constexpr int kNewNameAttempts = 100;
// Bytes (UTF-16 units on Windows) of the bitmap's name kept in the new
// file's name, which with the rest must stay within the 255 a file name may
// have.
constexpr std::size_t kNewNameStemBytes = 200;

std::atomic<bool> namedNewFilesOnly{false};
// Bytes handed to one write call.
constexpr std::size_t kMaxWriteBytes = std::size_t{1} << 30;

// What a write that took no byte tells: the file system is full.
#if defined(_WIN32)
constexpr int kNoRoomError = ERROR_DISK_FULL;
#else
constexpr int kNoRoomError = ENOSPC;
#endif

// Writes up to `n` bytes; how many, or -1 (platform part below).
long long writeSome(int fd, const unsigned char* data, std::size_t n);

// The end of a new file's name, different for every call, thread and moment.
std::string newFileSuffix()
{
    static std::atomic<std::uint32_t> counter{0};
    std::uint64_t n = static_cast<std::uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    n ^= std::hash<std::thread::id>{}(std::this_thread::get_id()) * 0x9E3779B97F4A7C15ull;
    n ^= std::uint64_t{counter.fetch_add(1)} << 40;
    n ^= n >> 29;
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(n ^ (n >> 32)));
    return suffix;
}

}  // namespace

void useNamedNewFilesOnly(bool on)
{
    namedNewFilesOnly.store(on);
}

void OutputFile::noteError()
{
    noteError(lastSystemError());
}

void OutputFile::noteError(int error)
{
    if (error_ == 0)
        error_ = error;
}

void OutputFile::write(const unsigned char* data, std::size_t n)
{
    while (n != 0 && !failed_) {
        clearSystemError();
        const long long got = writeSome(fd_, data, std::min(n, kMaxWriteBytes));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            // A write that takes nothing has run out of room.
            if (got == 0)
                setSystemError(kNoRoomError);
            noteError();
            failed_ = true;
            break;
        }
        data += got;
        n -= static_cast<std::size_t>(got);
    }
}

#if defined(_WIN32)
// --- Windows: a new file beside the bitmap, moved over it -------------------

namespace {

long long writeSome(int fd, const unsigned char* data, std::size_t n)
{
    return _write(fd, data, static_cast<unsigned>(n));
}

// Whether the path names something other than a file on a disk: NUL, CON,
// a serial port, a named pipe.
bool isDevice(const std::wstring& path)
{
    const HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const DWORD type = GetFileType(h);
    CloseHandle(h);
    return type != FILE_TYPE_DISK;
}

// A hidden name for the new file beside the bitmap `name`.
std::wstring newFileName(const std::wstring& name)
{
    std::wstring file(1, L'.');
    std::size_t stem = std::min(name.size(), kNewNameStemBytes);
    // A character of two units is kept whole or not at all.
    if (stem < name.size() && IS_HIGH_SURROGATE(name[stem - 1]))
        --stem;
    file.append(name, 0, stem);
    for (const char c : newFileSuffix())
        file += static_cast<wchar_t>(c);
    return file;
}

}  // namespace

OutputFile::~OutputFile()
{
    abandon();
}

OutputFile::OutputFile(const char* path)
{
    // The path is in the ANSI code page; its wide \\?\ form has no length
    // limit.
    std::optional<std::wstring> wide = extendedPath(path);
    if (!wide) {
        noteError(ERROR_INVALID_NAME);
        return;
    }
    path_ = std::move(*wide);
    clearSystemError();
    const DWORD attrs = GetFileAttributesW(path_.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (isDevice(path_))
            openInPlace();
        else if (error == ERROR_FILE_NOT_FOUND)
            openNew();
        else
            noteError(static_cast<int>(error));
        return;
    }
    // A reparse point (a symbolic link) is replaced like a file.
    if ((attrs & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        if ((attrs & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            noteError(ERROR_DIRECTORY);  // a folder stands at the path
            return;
        }
        if (isDevice(path_)) {
            openInPlace();
            return;
        }
        if ((attrs & FILE_ATTRIBUTE_READONLY) != 0) {
            noteError(ERROR_FILE_READ_ONLY);  // as a write in place would be refused
            return;
        }
    }
    openNew();
}

void OutputFile::openInPlace()
{
    clearSystemError();
    fd_ = _wopen(path_.c_str(), _O_WRONLY | _O_BINARY | _O_CREAT | _O_TRUNC, _S_IREAD | _S_IWRITE);
    if (fd_ < 0)
        noteError();
    inPlace_ = true;
}

void OutputFile::openNew()
{
    // The path is absolute: its name follows the last backslash.
    const PathCut<wchar_t> cut = cutAtLastSeparator(std::wstring_view(path_), L"\\");
    const std::wstring name(cut.inFolder ? cut.name : std::wstring_view());
    if (name.empty()) {
        noteError(ERROR_INVALID_NAME);
        return;
    }
    const std::wstring folder = std::wstring(cut.folder) + L'\\';
    for (int i = 0; fd_ < 0 && i < kNewNameAttempts; ++i) {
        temp_ = folder + newFileName(name);
        clearSystemError();
        fd_ = _wopen(temp_.c_str(), _O_WRONLY | _O_BINARY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
        if (fd_ < 0) {
            temp_.clear();
            if (errno != EEXIST) {
                noteError();
                break;
            }
        }
    }
}

namespace {

// The cause to tell when the file at `path` refused to be replaced with
// ERROR_ACCESS_DENIED. A file that any program holds open refuses it that
// way, whatever that program shares, and so does one the user may not
// remove. An open for removal that shares nothing tells the two apart: it
// meets a sharing violation while any other handle with access to the
// data is open, and succeeds on a file nobody holds.
int refusalOfReplacement(const std::wstring& path)
{
    const HANDLE h = CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return ERROR_ACCESS_DENIED;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : ERROR_ACCESS_DENIED;
}

}  // namespace

bool OutputFile::putInPlace()
{
    clearSystemError();
    if (MoveFileExW(temp_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
        return true;
    // A bitmap another program holds open refuses its replacement as if
    // access were denied: the user is told it is in use.
    const int error = lastSystemError();
    noteError(error == ERROR_ACCESS_DENIED ? refusalOfReplacement(path_) : error);
    return false;
}

bool OutputFile::commit()
{
    if (fd_ < 0)
        return false;
    clearSystemError();
    const bool closed = _close(fd_) == 0;
    if (!closed)
        noteError();
    fd_ = -1;
    return settle(closed);
}

void OutputFile::abandon()
{
    if (fd_ >= 0)
        _close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        DeleteFileW(temp_.c_str());
    temp_.clear();
}

#else
// --- POSIX: a new file in the bitmap's folder, renamed over it -------------

namespace {

long long writeSome(int fd, const unsigned char* data, std::size_t n)
{
    return ::write(fd, data, n);
}

// A hidden name for the new file beside the bitmap `name`.
std::string newFileName(const std::string& name)
{
    std::string file(1, '.');
    file.append(name, 0, kNewNameStemBytes);
    file.append(newFileSuffix());
    return file;
}

}  // namespace

OutputFile::~OutputFile()
{
    abandon();
    if (folder_ >= 0)
        ::close(folder_);
}

OutputFile::OutputFile(const char* path) : path_(path)
{
    struct stat st {};
    clearSystemError();
    if (::lstat(path, &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            noteError(EISDIR);
            return;
        }
        if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) {
            openInPlace();
            return;
        }
        if (S_ISREG(st.st_mode)) {
            // A bitmap that could not be written in place is not replaced.
            const int probe = ::open(path, O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
            if (probe < 0) {
                noteError();
                return;
            }
            ::close(probe);
            keepMode_ = static_cast<int>(st.st_mode & 07777);
            keepOwner_ = st.st_uid;
            keepGroup_ = st.st_gid;
        }
    } else if (errno != ENOENT) {
        noteError();
        return;
    }
    openNew();
}

void OutputFile::openInPlace()
{
    // Without O_CREAT or O_TRUNC: what is there is a device or a pipe, and
    // should it have become a regular file meanwhile, it is left alone.
    clearSystemError();
    fd_ = ::open(path_.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0)
        noteError();
    struct stat st {};
    if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || S_ISREG(st.st_mode))) {
        noteError(EEXIST);
        ::close(fd_);
        fd_ = -1;
    }
    inPlace_ = true;
}

void OutputFile::openNew()
{
    const std::string folder = posixFolderOf(path_);
    name_ = cutAtLastSeparator(std::string_view(path_), "/").name;
    if (name_.empty() || name_ == "." || name_ == "..") {
        noteError(EISDIR);
        return;
    }
    clearSystemError();
#if defined(O_PATH)
    folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    if (folder_ < 0) {
        noteError();
        return;
    }
#if defined(O_TMPFILE)
    // A file without a name leaves nothing behind whatever happens to this
    // process; it is named at commit() through /proc, so that must work.
    if (!namedNewFilesOnly.load())
        fd_ = ::openat(folder_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        struct stat st {};
        unnamed_ = ::stat(("/proc/self/fd/" + std::to_string(fd_)).c_str(), &st) == 0;
        if (!unnamed_) {
            ::close(fd_);
            fd_ = -1;
        }
    }
#endif
    for (int i = 0; fd_ < 0 && i < kNewNameAttempts; ++i) {
        temp_ = newFileName(name_);
        clearSystemError();
        fd_ = ::openat(folder_, temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
                       0666);
        if (fd_ < 0) {
            temp_.clear();
            if (errno != EEXIST) {
                noteError();
                break;
            }
        }
    }
    // The owner and group too, where this process may give them (changing
    // them clears set-id bits, so they come first). Some file systems keep
    // neither; the bitmap is written all the same.
    if (fd_ >= 0 && keepMode_ >= 0) {
        if (::fchown(fd_, static_cast<uid_t>(keepOwner_), static_cast<gid_t>(keepGroup_)) != 0) {
            // the bitmap keeps its writer as owner
        }
        (void)::fchmod(fd_, static_cast<mode_t>(keepMode_));
    }
}

bool OutputFile::putInPlace()
{
    clearSystemError();
    if (::renameat(folder_, temp_.c_str(), folder_, name_.c_str()) == 0)
        return true;
    noteError();
    return false;
}

bool OutputFile::commit()
{
    if (fd_ < 0)
        return false;
    if (unnamed_ && !failed_) {
        // Named while still open: linking needs the descriptor.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        failed_ = true;
        for (int i = 0; failed_ && i < kNewNameAttempts; ++i) {
            const std::string name = newFileName(name_);
            clearSystemError();
            if (::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                temp_ = name;
                failed_ = false;
            } else if (errno != EEXIST) {
                noteError();
                break;
            }
        }
    }
    clearSystemError();
    const bool closed = ::close(fd_) == 0;
    if (!closed)
        noteError();
    fd_ = -1;
    return settle(closed);
}

void OutputFile::abandon()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlinkat(folder_, temp_.c_str(), 0);
    temp_.clear();
}

#endif

bool OutputFile::settle(bool closed)
{
    if (inPlace_)
        return closed && !failed_;
    if (failed_ || !closed || !putInPlace()) {
        abandon();
        return false;
    }
    temp_.clear();
    return true;
}

}  // namespace rastrex
