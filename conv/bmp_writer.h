// Writes a 24-bit bottom-up Windows bitmap: a 54-byte header, then rows of
// 3 bytes a pixel (blue, green, red) padded with zeros to a multiple of 4.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace rastrex {

inline constexpr std::size_t kBmpHeaderBytes = 54;

// Zero bytes after each row of `width` pixels: width mod 4.
inline constexpr std::uint32_t bmpRowPadding(std::uint32_t width) { return width % 4; }

// Bytes in one stored row, padding included.
inline constexpr std::uint64_t bmpRowBytes(std::uint32_t width)
{
    return 3 * std::uint64_t{width} + bmpRowPadding(width);
}

// The whole file's size, or 0 when it does not fit the header's 32-bit field.
std::uint32_t bmpFileSize(std::uint32_t width, std::uint32_t height);

// The 54-byte header for a picture of width x height pixels.
void fillBmpHeader(unsigned char* out, std::uint32_t width, std::uint32_t height);

// An output file written through a buffer of bounded size. Every failure of
// a write or of the close is remembered; finish() reports it and then removes
// the incomplete file if the path names a regular file.
class BmpOutput {
public:
    // Opens (creating or cutting to length 0) the file at path.
    explicit BmpOutput(const char* path);
    ~BmpOutput();
    BmpOutput(const BmpOutput&) = delete;
    BmpOutput& operator=(const BmpOutput&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // Room for at least `n` bytes (n <= bufferCapacity()) at the end of the
    // buffer; write them, then call commit(n).
    unsigned char* reserve(std::size_t n);
    void commit(std::size_t n) { used_ += n; }
    void put(const unsigned char* data, std::size_t n);
    void putZeros(std::size_t n);

    static constexpr std::size_t bufferCapacity() { return kBufferBytes; }

    // Flushes and closes; true when every byte reached the file. On failure
    // the incomplete file is removed (only if it is a regular file).
    bool finish();

private:
    static constexpr std::size_t kBufferBytes = std::size_t{1} << 18;

    void flush();

    std::string path_;
    std::FILE* file_ = nullptr;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace rastrex
