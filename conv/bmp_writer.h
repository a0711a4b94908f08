// Writes a 24-bit bottom-up Windows bitmap: a 54-byte header, then rows of
// 3 bytes a pixel (blue, green, red) padded with zeros to a multiple of 4.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

// (RASTREX_NO_WRITER_THREAD builds the caller-only writer everywhere, to
// compare the two.)
#if !defined(_WIN32) && !defined(RASTREX_NO_WRITER_THREAD)
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#define RASTREX_HAVE_WRITER_THREAD 1
#endif

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
//
// A large bitmap (where the system has threads to spare) is written by a
// second thread while the caller fills the next buffer: two buffers take
// turns, the caller waiting whenever the writer still holds the other one.
// The thread ends in finish() or in the destructor, whatever happened.
class BmpOutput {
public:
    // `expectedBytes`: how many bytes the whole bitmap will have, which
    // decides whether a writer thread pays.
    explicit BmpOutput(const char* path, std::uint64_t expectedBytes = 0);
    ~BmpOutput();
    BmpOutput(const BmpOutput&) = delete;
    BmpOutput& operator=(const BmpOutput&) = delete;

    bool isOpen() const { return file_.isOpen(); }

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
    bool failed() const;

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

#if defined(RASTREX_HAVE_WRITER_THREAD)
    // Hands the filled buffer to the writer and takes the other one.
    void handOver();
    // Waits until the writer holds no buffer, then ends it.
    void stopWriter();
    void writerLoop();

    std::unique_ptr<unsigned char[]> spare_;  // the buffer the writer takes turns with
    std::thread writer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    const unsigned char* handed_ = nullptr;  // what the writer is to write; null when idle
    std::size_t handedBytes_ = 0;
    bool stopping_ = false;
    std::atomic<bool> writeFailed_{false};
#endif
};

}  // namespace rastrex
