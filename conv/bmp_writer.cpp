#include "bmp_writer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace rastrex {

namespace {

void putLe16(unsigned char*& p, std::uint16_t v)
{
    *p++ = static_cast<unsigned char>(v);
    *p++ = static_cast<unsigned char>(v >> 8);
}

void putLe32(unsigned char*& p, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        *p++ = static_cast<unsigned char>(v >> shift);
}

}  // namespace

std::uint32_t bmpFileSize(std::uint32_t width, std::uint32_t height)
{
    const std::uint64_t size = kBmpHeaderBytes + bmpRowBytes(width) * height;
    return size > UINT32_MAX ? 0 : static_cast<std::uint32_t>(size);
}

void fillBmpHeader(unsigned char* out, std::uint32_t width, std::uint32_t height)
{
    constexpr std::uint32_t kInfoHeaderBytes = 40;
    constexpr std::uint16_t kPlanes = 1;
    constexpr std::uint16_t kBitsPerPixel = 24;
    unsigned char* p = out;
    *p++ = 'B';
    *p++ = 'M';
    putLe32(p, bmpFileSize(width, height));
    putLe16(p, 0);  // reserved
    putLe16(p, 0);  // reserved
    putLe32(p, kBmpHeaderBytes);  // offset of the rows
    putLe32(p, kInfoHeaderBytes);
    putLe32(p, width);
    putLe32(p, height);  // positive: rows stored bottom-up
    putLe16(p, kPlanes);
    putLe16(p, kBitsPerPixel);
    for (int i = 0; i < 6; ++i)  // no compression, sizes, resolutions, colours
        putLe32(p, 0);
}

// The buffer exists before the file does, so a failed allocation never
// leaves a file behind.
BmpOutput::BmpOutput(const char* path, std::uint64_t expectedBytes)
    : buffer_(new unsigned char[kBufferBytes + kSpillBytes]), file_(path)
{
#if defined(RASTREX_HAVE_WRITER_THREAD)
    // The writer starts at the first full buffer, with the spare it needs;
    // without either the bitmap is written by the caller alone.
    if (expectedBytes >= kWriterThreadMinBytes && file_.isOpen())
        spare_.reset(new (std::nothrow) unsigned char[kBufferBytes + kSpillBytes]);
#else
    (void)expectedBytes;
#endif
}

BmpOutput::~BmpOutput()
{
#if defined(RASTREX_HAVE_WRITER_THREAD)
    stopWriter();
#endif
}

bool BmpOutput::failed() const
{
#if defined(RASTREX_HAVE_WRITER_THREAD)
    // While the writer runs, only it touches the file.
    if (writer_.joinable())
        return writeFailed_.load();
#endif
    return file_.failed();
}

void BmpOutput::flush()
{
#if defined(RASTREX_HAVE_WRITER_THREAD)
    if (spare_ != nullptr && !writer_.joinable()) {
        try {
            writer_ = std::thread(&BmpOutput::writerLoop, this);
        } catch (...) {
            spare_.reset();  // no thread to be had: the caller writes
        }
    }
    if (writer_.joinable()) {
        handOver();
        return;
    }
#endif
    file_.write(buffer_.get(), used_);
    used_ = 0;
}

#if defined(RASTREX_HAVE_WRITER_THREAD)
void BmpOutput::handOver()
{
    std::unique_lock<std::mutex> lock(mutex_);
    // The writer is done with the spare once it holds nothing.
    changed_.wait(lock, [this] { return handed_ == nullptr; });
    handed_ = buffer_.get();
    handedBytes_ = used_;
    lock.unlock();
    changed_.notify_all();
    std::swap(buffer_, spare_);
    used_ = 0;
}

void BmpOutput::writerLoop()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return handed_ != nullptr || stopping_; });
        if (handed_ == nullptr)
            return;  // told to stop, and every buffer handed over is written
        const unsigned char* data = handed_;
        const std::size_t n = handedBytes_;
        lock.unlock();
        // After a failed write nothing more is written: the bitmap is lost anyway.
        if (!writeFailed_.load()) {
            file_.write(data, n);
            if (file_.failed())
                writeFailed_.store(true);
        }
        lock.lock();
        handed_ = nullptr;
        changed_.notify_all();
    }
}

void BmpOutput::stopWriter()
{
    if (!writer_.joinable())
        return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}
#endif

unsigned char* BmpOutput::reservePixels(std::size_t wanted, std::size_t& granted)
{
    if (used_ == kBufferBytes)
        flush();
    const std::size_t reach = (kBufferBytes - used_ + 2) / 3;
    granted = std::min(wanted, reach);
    return buffer_.get() + used_;
}

void BmpOutput::commitPixels(std::size_t n)
{
    used_ += 3 * n;
    if (used_ <= kBufferBytes)
        return;
    // The bytes past the end open the next buffer.
    const std::size_t spill = used_ - kBufferBytes;
    unsigned char carried[kSpillBytes];
    std::memcpy(carried, buffer_.get() + kBufferBytes, spill);
    used_ = kBufferBytes;
    flush();
    std::memcpy(buffer_.get(), carried, spill);
    used_ = spill;
}

void BmpOutput::put(const unsigned char* data, std::size_t n)
{
    while (n != 0) {
        if (used_ == kBufferBytes)
            flush();
        const std::size_t chunk = std::min(n, kBufferBytes - used_);
        std::memcpy(buffer_.get() + used_, data, chunk);
        used_ += chunk;
        data += chunk;
        n -= chunk;
    }
}

void BmpOutput::putZeros(std::size_t n)
{
    while (n != 0) {
        if (used_ == kBufferBytes)
            flush();
        const std::size_t chunk = std::min(n, kBufferBytes - used_);
        std::memset(buffer_.get() + used_, 0, chunk);
        used_ += chunk;
        n -= chunk;
    }
}

bool BmpOutput::finish()
{
    flush();
#if defined(RASTREX_HAVE_WRITER_THREAD)
    stopWriter();
#endif
    return file_.commit();
}

}  // namespace rastrex
