#include "input_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

#include "system_error.h"
#if defined(_WIN32)
#include <windows.h>

#include "long_path.h"
#else
#include <unistd.h>
// Offsets past 2 GiB on 32-bit Linux need the build's _FILE_OFFSET_BITS=64.
static_assert(sizeof(off_t) == 8, "off_t must hold 64-bit file offsets");
#endif

namespace rastrex {

namespace {

std::FILE* openForReading(const char* path, int& error)
{
    clearSystemError();
#if defined(_WIN32)
    // The path is in the ANSI code page; its wide \\?\ form has no length limit.
    const std::optional<std::wstring> wide = extendedPath(path);
    if (!wide) {
        error = ERROR_INVALID_NAME;
        return nullptr;
    }
    std::FILE* file = _wfopen(wide->c_str(), L"rb");
    if (file == nullptr) {
        error = lastSystemError();
        // A folder is refused in the words of a file the user may not read:
        // it is told as a folder, as on other systems.
        const DWORD attributes = GetFileAttributesW(wide->c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            error = ERROR_DIRECTORY;
    }
#else
    std::FILE* file = std::fopen(path, "rb");
    // A folder opens here and fails its first read; Windows refuses to open
    // one. It is refused alike everywhere, before it is read.
    struct stat st {};
    if (file != nullptr && fstat(fileno(file), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(file);
        file = nullptr;
        errno = EISDIR;
    }
    if (file == nullptr)
        error = lastSystemError();
#endif
    return file;
}

}  // namespace

InputFile::InputFile(const char* path) : file_(openForReading(path, openError_)) {}

InputFile::InputFile(ByteSource& source) : source_(&source) {}

void InputFile::close()
{
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
    source_ = nullptr;
}

std::size_t InputFile::readFront(unsigned char* into, std::size_t n)
{
    if (source_ == nullptr)
        return std::fread(into, 1, n, file_);
    // A source read by offset meanwhile has lost its place: it is put back.
    std::size_t got = 0;
    if (source_->size())
        got = static_cast<std::size_t>(source_->readAt(sourceAt_, into, n));
    else
        got = source_->read(into, n);
    sourceAt_ += got;
    return got;
}

std::size_t InputFile::read(void* into, std::size_t n)
{
    std::size_t done = 0;
    if (pending_.data && pendingAt_ < pending_.size) {
        done = static_cast<std::size_t>(std::min<std::uint64_t>(n, pending_.size - pendingAt_));
        std::memcpy(into, pending_.data.get() + pendingAt_, done);
        pendingAt_ += done;
    }
    if (done < n)
        done += readFront(static_cast<unsigned char*>(into) + done, n - done);
    position_ += done;
    return done;
}

std::uint64_t InputFile::skip(std::uint64_t n)
{
    unsigned char scratch[4096];
    std::uint64_t skipped = 0;
    while (skipped < n) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(sizeof scratch, n - skipped));
        const std::size_t got = read(scratch, want);
        skipped += got;
        if (got < want)
            break;
    }
    return skipped;
}

bool InputFile::readBlock(std::uint64_t n, ByteBlock& block)
{
    block.data.reset();
    block.size = 0;
    if (n == 0)
        return true;
    if (n > SIZE_MAX)
        return false;
    block.data.reset(static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(n))));
    if (!block.data)
        return false;
    block.size = read(block.data.get(), static_cast<std::size_t>(n));
    return true;
}

void InputFile::unread(ByteBlock block, std::uint64_t from)
{
    from = std::min(from, block.size);
    position_ -= block.size - from;
    pending_ = std::move(block);
    pendingAt_ = from;
}

#if defined(_WIN32)

std::optional<std::uint64_t> InputFile::regularSize()
{
    if (source_ != nullptr)
        return source_->size();
    struct _stat64 st {};
    if (_fstat64(_fileno(file_), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG || st.st_size < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t InputFile::readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n)
{
    if (source_ != nullptr)
        return source_->readAt(offset, into, n);
    if (offset > INT64_MAX || _fseeki64(file_, static_cast<__int64>(offset), SEEK_SET) != 0)
        return 0;
    return std::fread(into, 1, static_cast<std::size_t>(n), file_);
}

#else

std::optional<std::uint64_t> InputFile::regularSize()
{
    if (source_ != nullptr)
        return source_->size();
    struct stat st {};
    if (fstat(fileno(file_), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t InputFile::readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n)
{
    if (source_ != nullptr)
        return source_->readAt(offset, into, n);
    std::uint64_t done = 0;
    while (done < n) {
        if (offset + done > static_cast<std::uint64_t>(INT64_MAX))
            break;
        const ssize_t got = pread(fileno(file_), into + done, static_cast<std::size_t>(n - done),
                                  static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::uint64_t>(got);
    }
    return done;
}

#endif

}  // namespace rastrex
