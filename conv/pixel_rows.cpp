#include "pixel_rows.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "xwd_limits.h"

namespace rastrex {

namespace {

// How much of the span of the row starting at `rowStart` (an offset within
// its plane) lies before `reached`.
std::uint64_t spanPresent(std::uint64_t reached, std::uint64_t rowStart, const RowSpan& span)
{
    const std::uint64_t from = rowStart + span.skip;
    return reached > from ? std::min(reached - from, span.used) : 0;
}

}  // namespace

StreamRows::StreamRows(InputFile& in, const DumpPlan& plan)
    : in_(in),
      start_(plan.pixelStart),
      available_(plan.areaInFile.value_or(0)),
      l_(plan.layout),
      span_(plan.span)
{
    // Reading a row with its padding costs one read a band instead of one a
    // row; worth it while the row fits a band.
    withPadding_ = l_.bytesPerLine <= kRowBandBytes / l_.planes;
    stride_ = withPadding_ ? l_.bytesPerLine : span_.used;
    const std::uint64_t rowsInBand = kRowBandBytes / (std::uint64_t{l_.planes} * stride_);
    rowsPerBand_ = static_cast<std::uint32_t>(
        std::clamp<std::uint64_t>(rowsInBand, 1, std::max<std::uint32_t>(l_.height, 1)));
    // No read of a plane's band delivers more than the file holds, however
    // long the header says its rows are.
    planeCapacity_ = std::min(std::uint64_t{rowsPerBand_} * stride_, available_);
    if (planeCapacity_ <= SIZE_MAX / l_.planes)
        buffer_.reset(new (std::nothrow)
                          unsigned char[static_cast<std::size_t>(planeCapacity_ * l_.planes)]);
}

void StreamRows::load(std::uint32_t lastRow)
{
    bandEnd_ = lastRow + 1;
    bandFirst_ = bandEnd_ > rowsPerBand_ ? bandEnd_ - rowsPerBand_ : 0;
    const std::uint64_t plane = l_.planeBytes();
    for (std::uint32_t p = 0; p < l_.planes; ++p) {
        // Bytes of plane p in the file; a plane that starts past the end has none.
        const bool starts = p == 0 || plane <= available_ / p;
        const std::uint64_t planeAt = starts ? plane * p : 0;
        const std::uint64_t inPlane = starts && available_ > planeAt ? available_ - planeAt : 0;
        unsigned char* into = buffer_.get() + planeCapacity_ * p;
        std::uint64_t reached = 0;
        if (withPadding_) {
            const std::uint64_t from = std::uint64_t{bandFirst_} * l_.bytesPerLine;
            const std::uint64_t length = std::uint64_t{bandEnd_ - bandFirst_} * l_.bytesPerLine;
            const std::uint64_t wanted = from < inPlane ? std::min(length, inPlane - from) : 0;
            reached = from + (wanted == 0 ? 0 : in_.readAt(start_ + planeAt + from, into, wanted));
        } else {
            for (std::uint32_t y = bandFirst_; y < bandEnd_; ++y, into += stride_) {
                const std::uint64_t from = std::uint64_t{y} * l_.bytesPerLine + span_.skip;
                const std::uint64_t wanted = from < inPlane ? std::min(span_.used, inPlane - from) : 0;
                const std::uint64_t got =
                    wanted == 0 ? 0 : in_.readAt(start_ + planeAt + from, into, wanted);
                reached = from + got;
                if (got < span_.used)
                    break;
            }
        }
        reached_[p] = reached;
    }
}

RowView StreamRows::row(std::uint32_t y)
{
    RowView view;
    if (y >= bandEnd_ || y < bandFirst_)
        load(y);
    const std::uint64_t rowStart = std::uint64_t{y} * l_.bytesPerLine;
    const std::uint64_t at = std::uint64_t{y - bandFirst_} * stride_ + (withPadding_ ? span_.skip : 0);
    for (std::uint32_t p = 0; p != l_.planes; ++p) {
        view.present[p] = spanPresent(reached_[p], rowStart, span_);
        view.plane[p] = buffer_.get() + planeCapacity_ * p + at;
    }
    return view;
}

ForwardRows::ForwardRows(const DumpPlan& plan) : l_(plan.layout), span_(plan.span)
{
    inBands_ = l_.bytesPerLine <= kRowBandBytes;
    if (inBands_) {
        rowsPerBand_ = static_cast<std::uint32_t>(
            std::clamp<std::uint64_t>(kRowBandBytes / l_.bytesPerLine, 1, std::max<std::uint32_t>(l_.height, 1)));
        buffer_.resize(static_cast<std::size_t>(rowsPerBand_ * l_.bytesPerLine));
    }
}

RowView ForwardRows::next(InputFile& in)
{
    RowView view;
    const std::uint32_t y = nextRow_++;
    if (inBands_) {
        if (y >= bandEnd_) {
            bandFirst_ = y;
            bandEnd_ = y + std::min(rowsPerBand_, l_.height - y);
            reached_ = in.read(buffer_.data(), static_cast<std::size_t>((bandEnd_ - bandFirst_) * l_.bytesPerLine));
            available_ += reached_;
        }
        const std::uint64_t rowStart = std::uint64_t{y - bandFirst_} * l_.bytesPerLine;
        view.present[0] = spanPresent(reached_, rowStart, span_);
        view.plane[0] = buffer_.data() + rowStart + span_.skip;
        return view;
    }
    const std::uint64_t skipped = in.skip(span_.skip);
    available_ += skipped;
    reached_ = 0;
    while (skipped == span_.skip && reached_ < span_.used) {
        if (reached_ == buffer_.size())
            buffer_.resize(static_cast<std::size_t>(
                std::min(span_.used, std::max<std::uint64_t>(kHeldBlockBytes, 2 * reached_))));
        const std::size_t want = buffer_.size() - static_cast<std::size_t>(reached_);
        const std::size_t got = in.read(buffer_.data() + static_cast<std::size_t>(reached_), want);
        reached_ += got;
        available_ += got;
        if (got < want)
            break;
    }
    if (reached_ == span_.used)
        available_ += in.skip(l_.bytesPerLine - span_.skip - span_.used);
    view.present[0] = reached_;
    view.plane[0] = buffer_.data();
    return view;
}

HeldRows::HeldRows(const DumpPlan& plan) : l_(plan.layout), span_(plan.span)
{
    rowsPerBlock_ = std::max<std::uint64_t>(1, kHeldBlockBytes / span_.used);
}

bool HeldRows::fill(InputFile& in)
{
    const std::uint64_t rows = std::uint64_t{l_.planes} * l_.height;
    const std::uint64_t padding = l_.bytesPerLine - span_.skip - span_.used;
    // A span longer than a block is a block of its own, grown as its bytes
    // arrive; shorter ones share blocks allocated whole.
    const std::uint64_t firstPiece = std::min(span_.used, kHeldBlockBytes);
    for (std::uint64_t i = 0; i < rows; ++i) {
        const std::uint64_t block = i / rowsPerBlock_;
        std::uint64_t capacity = 0;  // of the span's block, when it has one of its own
        if (block == blocks_.size()) {
            const std::uint64_t blockRows = std::min(rowsPerBlock_, rows - block * rowsPerBlock_);
            capacity = blockRows == 1 ? firstPiece : blockRows * span_.used;
            if (capacity > SIZE_MAX)
                return false;
            blocks_.emplace_back(
                static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(capacity))));
            if (!blocks_.back())
                return false;
        }
        std::uint64_t got = in.skip(span_.skip);
        available_ += got;
        if (got < span_.skip)
            return true;
        const std::uint64_t at = (i % rowsPerBlock_) * span_.used;
        for (std::uint64_t done = 0; done < span_.used;) {
            if (rowsPerBlock_ == 1 && done == capacity) {
                capacity = std::min(span_.used, capacity * 2);
                if (capacity > SIZE_MAX)
                    return false;
                void* grown = std::realloc(blocks_.back().get(), static_cast<std::size_t>(capacity));
                if (grown == nullptr)
                    return false;
                blocks_.back().release();
                blocks_.back().reset(static_cast<unsigned char*>(grown));
            }
            const std::uint64_t want = (rowsPerBlock_ == 1 ? capacity : span_.used) - done;
            got = in.read(blocks_.back().get() + at + done, static_cast<std::size_t>(want));
            available_ += got;
            done += got;
            if (got < want)
                return true;
        }
        // The padding after the last row is never needed.
        if (i + 1 < rows) {
            got = in.skip(padding);
            available_ += got;
            if (got < padding)
                return true;
        }
    }
    return true;
}

RowView HeldRows::row(std::uint32_t y)
{
    RowView view;
    // Planes follow one another in the stream: each holds what arrived past
    // the planes before it.
    const std::uint64_t plane = l_.planeBytes();
    std::uint64_t left = available_;
    for (std::uint32_t p = 0; p != l_.planes; ++p, left -= std::min(left, plane)) {
        view.present[p] = spanPresent(left, std::uint64_t{y} * l_.bytesPerLine, span_);
        const std::uint64_t i = std::uint64_t{p} * l_.height + y;
        if (view.present[p] > 0)
            view.plane[p] = blocks_[static_cast<std::size_t>(i / rowsPerBlock_)].get() + (i % rowsPerBlock_) * span_.used;
    }
    return view;
}

}  // namespace rastrex
