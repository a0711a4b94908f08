#include "pixel_rows.h"

#include <algorithm>
#include <new>

namespace rastrex {

RowView BlockRows::row(std::uint32_t y)
{
    RowView view;
    const std::uint64_t plane = l_.planeBytes();
    const std::uint64_t rowOffset = std::uint64_t{y} * l_.bytesPerLine;
    // The last plane's row: how much of it the file holds.
    std::uint64_t last = rowOffset;
    if (l_.planes > 1) {
        if (plane > available_ / (l_.planes - 1))
            return view;
        last += plane * (l_.planes - 1);
    }
    if (last >= available_)
        return view;
    view.present = std::min(available_ - last, l_.bytesPerLine);
    for (std::uint32_t p = 0; p < l_.planes; ++p)
        view.plane[p] = area_ + plane * p + rowOffset;
    return view;
}

bool StreamRows::fits(const PixelLayout& layout)
{
    return layout.bytesPerLine <= kBandBytes / layout.planes;
}

StreamRows::StreamRows(InputFile& in, std::uint64_t start, std::uint64_t available,
                       const PixelLayout& layout)
    : in_(in), start_(start), available_(available), l_(layout)
{
    // fits() holds: a row of every plane takes at most kBandBytes.
    const std::uint64_t rowsInBand = kBandBytes / (std::uint64_t{l_.planes} * l_.bytesPerLine);
    rowsPerBand_ = static_cast<std::uint32_t>(
        std::clamp<std::uint64_t>(rowsInBand, 1, std::max<std::uint32_t>(l_.height, 1)));
    bandBytes_ = std::uint64_t{rowsPerBand_} * l_.bytesPerLine;
    buffer_.reset(new (std::nothrow) unsigned char[static_cast<std::size_t>(bandBytes_ * l_.planes)]);
}

void StreamRows::load(std::uint32_t lastRow)
{
    bandEnd_ = lastRow + 1;
    bandFirst_ = bandEnd_ > rowsPerBand_ ? bandEnd_ - rowsPerBand_ : 0;
    const std::uint64_t length = std::uint64_t{bandEnd_ - bandFirst_} * l_.bytesPerLine;
    const std::uint64_t plane = l_.planeBytes();
    bandPresent_ = length;
    for (std::uint32_t p = 0; p < l_.planes; ++p) {
        // Plane offsets stay below the area's size, which is below 2^64.
        const std::uint64_t offset = plane * p + std::uint64_t{bandFirst_} * l_.bytesPerLine;
        const std::uint64_t wanted = offset < available_ ? std::min(length, available_ - offset) : 0;
        const std::uint64_t got =
            wanted == 0 ? 0 : in_.readAt(start_ + offset, buffer_.get() + bandBytes_ * p, wanted);
        bandPresent_ = std::min(bandPresent_, got);
    }
}

RowView StreamRows::row(std::uint32_t y)
{
    RowView view;
    if (y >= bandEnd_ || y < bandFirst_)
        load(y);
    const std::uint64_t rowOffset = std::uint64_t{y - bandFirst_} * l_.bytesPerLine;
    if (rowOffset >= bandPresent_)
        return view;
    view.present = std::min(bandPresent_ - rowOffset, l_.bytesPerLine);
    for (std::uint32_t p = 0; p < l_.planes; ++p)
        view.plane[p] = buffer_.get() + bandBytes_ * p + rowOffset;
    return view;
}

}  // namespace rastrex
