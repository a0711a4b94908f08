#include "bmp_writer.h"

#include <algorithm>
#include <cstring>

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
BmpOutput::BmpOutput(const char* path)
    : buffer_(new unsigned char[kBufferBytes + kSpillBytes]), file_(path)
{
}

void BmpOutput::flush()
{
    file_.write(buffer_.get(), used_);
    used_ = 0;
}

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
    return file_.commit();
}

}  // namespace rastrex
