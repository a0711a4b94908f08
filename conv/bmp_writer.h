// Writes a 24-bit bottom-up Windows bitmap: a 54-byte header, then rows of
// 3 bytes a pixel (blue, green, red) padded with zeros to a multiple of 4.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "output_file.h"
#include "xwd_limits.h"

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

// The bitmap's file written through a buffer of bounded size. Every failure
// of a write or of the close is remembered and reported by finish(); the
// bitmap takes its place only when there was none (see OutputFile).
class BmpOutput {
public:
    explicit BmpOutput(const char* path);
    BmpOutput(const BmpOutput&) = delete;
    BmpOutput& operator=(const BmpOutput&) = delete;

    bool isOpen() const { return file_.isOpen(); }
    // The system's error of the first failed step of the file; 0 while none.
    int error() const { return file_.error(); }

    // Where the next pixels go, and how many of the `wanted` ones (at least
    // one) to write there, 3 bytes each: those that reach the end of the
    // buffer, the last of them perhaps past it. Write them, then call
    // commitPixels() with their number. Every write but the last is thus of
    // a whole buffer, at offsets of whole pages.
    unsigned char* reservePixels(std::size_t wanted, std::size_t& granted);
    void commitPixels(std::size_t n);
    void put(const unsigned char* data, std::size_t n);
    void putZeros(std::size_t n);

    // Whether a write has failed already: what follows cannot succeed.
    bool failed() const { return file_.failed(); }

    // Flushes, closes and puts the bitmap in its place; true when every byte
    // reached it. On failure nothing of it is left.
    bool finish();

private:
    static constexpr std::size_t kBufferBytes = kOutputBufferBytes;
    // Past the end of a buffer: the bytes of a pixel that straddles it.
    static constexpr std::size_t kSpillBytes = 2;

    void flush();

    std::unique_ptr<unsigned char[]> buffer_;
    OutputFile file_;
    std::size_t used_ = 0;
};

}  // namespace rastrex
