#include "input_file.h"

#include <algorithm>

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

}  // namespace rastrex
