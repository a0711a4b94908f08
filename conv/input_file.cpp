#include "input_file.h"

#include <algorithm>
#include <cerrno>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace rastrex {

void InputFile::close()
{
    if (file_ != nullptr)
        std::fclose(file_);
    file_ = nullptr;
}

std::size_t InputFile::read(void* into, std::size_t size, std::size_t count)
{
    if (size == 0 || count == 0)
        return 0;
    return std::fread(into, size, count, file_);
}

std::uint64_t InputFile::skip(std::uint64_t n)
{
    unsigned char scratch[4096];
    std::uint64_t skipped = 0;
    while (skipped < n) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(sizeof scratch, n - skipped));
        const std::size_t got = std::fread(scratch, 1, want, file_);
        skipped += got;
        if (got < want)
            break;
    }
    return skipped;
}

bool InputFile::readBlock(std::uint64_t limit, ByteBlock& block)
{
    block.data.reset();
    block.size = 0;
    const std::uint64_t known = remaining();
    if (known != UINT64_MAX) {
        const std::uint64_t want = std::min(limit, known);
        if (want == 0)
            return true;
        if (want > SIZE_MAX)
            return false;
        block.data.reset(static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(want))));
        if (!block.data)
            return false;
        block.size = std::fread(block.data.get(), 1, static_cast<std::size_t>(want), file_);
        return true;
    }
    // A stream that cannot tell its length: grow the block as bytes arrive.
    constexpr std::uint64_t kFirstChunk = std::uint64_t{1} << 20;
    std::uint64_t capacity = 0;
    while (block.size < limit) {
        if (block.size == capacity) {
            const std::uint64_t next =
                std::min(limit, capacity == 0 ? kFirstChunk : capacity * 2);
            if (next > SIZE_MAX)
                return false;
            void* grown = std::realloc(block.data.get(), static_cast<std::size_t>(next));
            if (grown == nullptr)
                return false;
            block.data.release();
            block.data.reset(static_cast<unsigned char*>(grown));
            capacity = next;
        }
        const std::size_t want = static_cast<std::size_t>(capacity - block.size);
        const std::size_t got = std::fread(block.data.get() + block.size, 1, want, file_);
        block.size += got;
        if (got < want)
            break;
    }
    return true;
}

std::uint64_t InputFile::remaining()
{
    const long here = std::ftell(file_);
    if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0)
        return UINT64_MAX;
    const long end = std::ftell(file_);
    if (std::fseek(file_, here, SEEK_SET) != 0 || end < here)
        return UINT64_MAX;
    return static_cast<std::uint64_t>(end - here);
}


std::uint64_t InputFile::position()
{
    const long here = std::ftell(file_);
    return here < 0 ? 0 : static_cast<std::uint64_t>(here);
}

#if defined(_WIN32)

bool InputFile::readableWhileWriting(const char*)
{
    return false;  // the whole area is read before the bitmap is opened
}

std::uint64_t InputFile::readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n)
{
    if (_fseeki64(file_, static_cast<__int64>(offset), SEEK_SET) != 0)
        return 0;
    return std::fread(into, 1, static_cast<std::size_t>(n), file_);
}

#else

bool InputFile::readableWhileWriting(const char* outputPath)
{
    struct stat in {};
    if (fstat(fileno(file_), &in) != 0 || !S_ISREG(in.st_mode))
        return false;
    struct stat out {};
    if (stat(outputPath, &out) != 0)
        return errno == ENOENT;  // a new file is never the dump
    return out.st_dev != in.st_dev || out.st_ino != in.st_ino;
}

std::uint64_t InputFile::readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n)
{
    std::uint64_t done = 0;
    while (done < n) {
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
